#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the data layer: the server's (or driver's) message and
// the statement or operation where it happened.
class DbError : public std::runtime_error {
public:
    DbError(const QString &message, const QString &where = {}, const QString &nativeCode = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_where(where),
          m_nativeCode(nativeCode) {}

    const QString &message() const { return m_message; }
    const QString &where() const { return m_where; }
    const QString &nativeCode() const { return m_nativeCode; }

private:
    QString m_message;
    QString m_where;
    QString m_nativeCode;
};
