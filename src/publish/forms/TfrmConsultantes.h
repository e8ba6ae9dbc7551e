#pragma once
// "Consultantes": the accounts of the on-line consultation, edited in a grid.
#include <QDialog>

class QLabel;
class QPushButton;
namespace kv { class DBGrid; class DBNavigator; class TableCursor; }

class TfrmConsultantes : public QDialog {
    Q_OBJECT
public:
    TfrmConsultantes(kv::TableCursor* tblConsultantes, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    kv::DBGrid* DBGrid1 = nullptr;
    kv::DBNavigator* DBNavigator1 = nullptr;
    QPushButton* btnPonerClave = nullptr;

public slots:
    void btnPonerClaveClick();

protected:
    void done(int r) override;

private:
    kv::TableCursor* tbl_;
};
