#pragma once

#include <QString>
#include <QVariant>

// What another program sees in an SQLite file: the first value of one statement, or nothing.
QVariant AskSqlite(const QString &path, const QString &statement);
