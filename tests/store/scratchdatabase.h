#pragma once
// A database of its own for one test on the private test server
// (VELTO_TEST_DATABASE), dropped at the end.
#include <QCoreApplication>
#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include "store/pg/wardschema.h"

namespace velto::test {

class ScratchDatabase {
public:
    ScratchDatabase()
    {
        static int counter = 0;
        m_name = QStringLiteral("velto_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        QSqlQuery q(admin());
        m_ok = q.exec(QStringLiteral("create database %1").arg(m_name));
        if (!m_ok)
            qWarning() << q.lastError().text();
    }
    ~ScratchDatabase()
    {
        for (const QString &c : std::as_const(m_connections))
            QSqlDatabase::removeDatabase(c);
        QSqlQuery q(admin());
        q.exec(QStringLiteral("drop database if exists %1 with (force)").arg(m_name));
    }
    bool ok() const { return m_ok; }
    // libpq takes the last of a repeated keyword.
    QString connectionString() const { return server() + QStringLiteral(" dbname=") + m_name; }
    QSqlDatabase connect(const QString &name)
    {
        m_connections << name;
        QString error;
        QSqlDatabase db = wardschema::openConnection(connectionString(), name, &error);
        if (!db.isOpen())
            qWarning() << error;
        return db;
    }

    static QString server() { return qEnvironmentVariable("VELTO_TEST_DATABASE"); }

private:
    static QSqlDatabase admin()
    {
        const QString name = QStringLiteral("admin");
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase db = QSqlDatabase::database(name);
            if (QSqlQuery(db).exec(QStringLiteral("select 1")))
                return db;
            // The server was restarted (tst_serverloss): connect again.
            db.close();
            db.open();
            return db;
        }
        QString error;
        return wardschema::openConnection(server(), name, &error);
    }
    QString m_name;
    QStringList m_connections;
    bool m_ok = false;
};

} // namespace velto::test
