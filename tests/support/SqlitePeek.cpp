#include "SqlitePeek.h"

#include <QSqlDatabase>
#include <QSqlQuery>

QVariant AskSqlite(const QString &path, const QString &statement)
{
    QVariant value;
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec(statement) && query.next())
            value = query.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return value;
}
