#include "app/forms/Arranque.h"
#include "app/forms/KvApplication.h"
#include "base/forms/QtMessages.h"

int main(int argc, char** argv)
{
    KvApplication app(argc, argv);
    // KELVORA_MENSAJES=stderr writes the messages to the error stream instead of showing
    // boxes (questions answer No): for runs without anybody at the screen.
    if (qEnvironmentVariable("KELVORA_MENSAJES") != QLatin1String("stderr"))
        kv::Messages::install(std::make_unique<kv::QtMessages>());
    {
        Arranque arranque;
        if (arranque.iniciar(QString::fromLocal8Bit(argv[0]))) app.exec();
    }
    return 0;
}
