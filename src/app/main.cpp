#include "app/forms/TFrmMain.h"
#include "data/TDM.h"
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kv::TDM dm;
    TFrmMain w;
    w.show();
    return app.exec();
}
