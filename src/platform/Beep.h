#pragma once
// The short tone of an accepted capture. Never waits for the sound and never fails:
// where no tone can be played, the fallback (the desktop bell, installed by the windows)
// sounds instead.
#include <QByteArray>
#include <functional>

namespace kv {

// Starts a tone of the given frequency and length and returns at once.
void Beep(int frequencyHz = 500, int durationMs = 100);

// What Beep does where the machine cannot play a tone (no player, no sound device).
void SetBeepFallback(std::function<void()> fallback);

// What happened at the door, each with a tone of its own so the operator hears it
// without looking: entry, exit, refused code, repeated read.
enum class Tono { Entrada, Salida, Rechazo, Repetida };

struct DefinicionTono {
    int frecuenciaHz = 0;
    int duracionMs = 0;   // 0 = silence
};

// The tone of an event. With distintos=false every movement and repeated read gets the
// one 500 Hz beep and a refused code none, as before there were several.
DefinicionTono DefTono(Tono tono, bool distintos);
// Sounds DefTono(tono, distintos), when it is not silence.
void SonarTono(Tono tono, bool distintos);

// 16-bit signed little-endian mono samples of a sine tone, with short ramps at both ends
// so the speaker does not click.
QByteArray TonoPCM(int frequencyHz, int durationMs, int sampleRate);

} // namespace kv
