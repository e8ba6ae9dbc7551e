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

// 16-bit signed little-endian mono samples of a sine tone, with short ramps at both ends
// so the speaker does not click.
QByteArray TonoPCM(int frequencyHz, int durationMs, int sampleRate);

} // namespace kv
