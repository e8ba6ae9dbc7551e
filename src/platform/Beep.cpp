#include "platform/Beep.h"
#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <cmath>

namespace kv {

namespace {
constexpr int kSampleRate = 8000;

struct BeepState {
    std::function<void()> fallback;
    bool probed = false;
    QString player;          // aplay, when the machine has it
    bool playerWorks = true; // false after the player failed once (no sound device)
};

BeepState& state()
{
    static BeepState s;
    return s;
}

void fallback()
{
    if (state().fallback) state().fallback();
}
} // namespace

void SetBeepFallback(std::function<void()> f) { state().fallback = std::move(f); }

QByteArray TonoPCM(int frequencyHz, int durationMs, int sampleRate)
{
    const int n = qMax(0, sampleRate * durationMs / 1000);
    const int ramp = qMin(n / 2, sampleRate / 200);   // 5 ms
    QByteArray pcm(n * 2, Qt::Uninitialized);
    const double w = 2.0 * M_PI * frequencyHz / sampleRate;
    for (int i = 0; i < n; ++i) {
        double gain = 0.35;
        if (ramp > 0 && i < ramp) gain *= double(i) / ramp;
        if (ramp > 0 && n - 1 - i < ramp) gain *= double(n - 1 - i) / ramp;
        const qint16 s = qint16(std::lround(gain * 32767.0 * std::sin(w * i)));
        qToLittleEndian(s, pcm.data() + 2 * i);
    }
    return pcm;
}

DefinicionTono DefTono(Tono tono, bool distintos)
{
    if (!distintos) return tono == Tono::Rechazo ? DefinicionTono{} : DefinicionTono{500, 100};
    // Short enough that a queue moves on; the refusal is low and longer, so it is not
    // mistaken for a movement, and the repeated read a high blip.
    switch (tono) {
    case Tono::Entrada: return {500, 100};
    case Tono::Salida: return {800, 100};
    case Tono::Rechazo: return {250, 300};
    case Tono::Repetida: return {1400, 50};
    }
    return {500, 100};
}

void SonarTono(Tono tono, bool distintos)
{
    const DefinicionTono t = DefTono(tono, distintos);
    if (t.duracionMs > 0) Beep(t.frecuenciaHz, t.duracionMs);
}

void Beep(int frequencyHz, int durationMs)
{
    BeepState& s = state();
    if (!s.probed) {
        s.player = QStandardPaths::findExecutable(QStringLiteral("aplay"));
        s.probed = true;
    }
    if (s.player.isEmpty() || !s.playerWorks) {
        fallback();
        return;
    }
    // The player runs on its own; the capture only hands it the samples. When it cannot
    // start or has no device to play on, the bell sounds and the player is not tried again.
    auto* p = new QProcess;
    p->setProgram(s.player);
    p->setArguments({QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-f"),
                     QStringLiteral("S16_LE"), QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-r"),
                     QString::number(kSampleRate)});
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(p, &QProcess::errorOccurred, p, [p](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            state().playerWorks = false;
            fallback();
            p->deleteLater();
        }
    });
    QObject::connect(p, &QProcess::finished, p, [p](int code, QProcess::ExitStatus st) {
        if (st != QProcess::NormalExit || code != 0) {
            state().playerWorks = false;
            fallback();
        }
        p->deleteLater();
    });
    p->start();
    // A player stuck on a busy device must not pile up.
    QTimer::singleShot(durationMs + 3000, p, [p] { p->kill(); });
    p->write(TonoPCM(frequencyHz, durationMs, kSampleRate));
    p->closeWriteChannel();
}

} // namespace kv
