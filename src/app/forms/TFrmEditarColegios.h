#pragma once
// The site list editor, shown when the chosen site's tables cannot be opened: the
// operator corrects the name or tables directory of a site (or adds one) and restarts.
#include <QDialog>

class QLabel;
class QPushButton;
namespace kv { class DBGrid; class TableCursor; }

class TFrmEditarColegios : public QDialog {
    Q_OBJECT
public:
    // `error`: what the opening of the site's tables reported.
    explicit TFrmEditarColegios(const QString& tablesDir, const QString& error = QString(),
                                QWidget* parent = nullptr);
    ~TFrmEditarColegios() override;

    QLabel* Label1 = nullptr;
    kv::DBGrid* DBGrid1 = nullptr;
    kv::TableCursor* TblColegios = nullptr;
    QPushButton* BtnImportarSitio = nullptr;   // "Importar sitio anterior..."

public slots:
    // Makes a new site from an old site's Paradox tables and adds it to the list.
    void BtnImportarSitioClick();

protected:
    void done(int r) override;
};
