#pragma once
// Helpers of the start-up tests: a quit request posted by a test is forgotten at its end,
// so later tests' dialogs run normally.
#include "data/Database.h"
#include "platform/QuitRequest.h"
#include "settings/UserLevel.h"
#include "data/TDM.h"
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QStringList>

namespace kvtest {

struct QuitScope {
    ~QuitScope()
    {
        kv::ClearQuitRequest();
        kv::SetTablesDir(QString());
        kv::SetUserLevel(QString());
    }
};

// Removes the lock files this test process made in the temporary directory.
inline void removeTestLocks()
{
    QDir tmp(QDir::tempPath());
    const QString pid = QString::number(QCoreApplication::applicationPid());
    for (const QString& f : tmp.entryList({QStringLiteral("kvtest-*") + pid + QStringLiteral("*.lock")}, QDir::Files))
        tmp.remove(f);
}

// Records the objectName of every dialog that is shown.
class DialogSpy : public QObject {
public:
    DialogSpy() { qApp->installEventFilter(this); }
    ~DialogSpy() override { qApp->removeEventFilter(this); }
    QStringList shown;
protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && qobject_cast<QDialog*>(o)) shown << o->objectName();
        return false;
    }
};

// Raw SQLite on a site's database (for what the local dialect does not offer).
inline void rawExec(const QString& tablesDir, const QString& sql, const QVariantList& params = {})
{
    kv::Database::forDirectory(tablesDir)->exec(sql, params);
}

inline QString writePicture(const QString& path, const QColor& colour = Qt::red)
{
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(colour);
    img.save(path);
    return path;
}

} // namespace kvtest
