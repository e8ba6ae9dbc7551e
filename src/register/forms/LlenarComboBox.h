#pragma once
// Fills a drop-down box with the combo filler (see register/Register.h).
#include "register/Register.h"

class QComboBox;

void LlenarComboBox(QComboBox* cb, kv::Query& ds, const QString& campo, const QString& campo2 = {});
void LlenarComboBox(QComboBox* cb, kv::TableCursor& ds, const QString& campo, const QString& campo2 = {});
