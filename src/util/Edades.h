#pragma once
// Ages of the persons, recomputed from their dates of birth.
#include "data/Database.h"
#include <QDate>

namespace kv {

// Sets `edad` of every person of the site to the whole years lived on `hoy`: a person
// turns N on the birthday (born 29 February: on 1 March in common years). A person
// without a date of birth, or with one after `hoy`, gets no age. One statement, so every
// age is written or none. Returns the number of persons.
int ActualizarEdades(Database& db, const QDate& hoy);

} // namespace kv
