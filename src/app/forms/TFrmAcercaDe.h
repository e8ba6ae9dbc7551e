#pragma once
// The about box: picture, name and version, purpose and the maker's web address. It has
// no buttons and closes by its frame (or Esc).
#include <QDialog>

class TFrmAcercaDe : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAcercaDe(QWidget* parent = nullptr);
};
