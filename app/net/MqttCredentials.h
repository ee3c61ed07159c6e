#pragma once

#include <QString>

// The broker's user and password, read from a file of two lines. The file
// must be readable by its owner only; anything else is refused before any
// byte goes to the broker. The password never leaves this record except
// towards the broker.
struct SMqttCredentials {
    QString strUser;
    QString strPassword;

    // False with *error set (without the password) when the file cannot be
    // used: missing, unreadable, open to group or others, or malformed.
    static bool Read(const QString& path, SMqttCredentials* credentials, QString* error);
};
