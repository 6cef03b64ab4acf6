#include "app/file_argument.h"

#include <QDir>

QString FileArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--"))
            return i + 1 < arguments.size() && !arguments[i + 1].isEmpty()
                       ? QDir::current().absoluteFilePath(arguments[i + 1])
                       : QString();
        if (!argument.isEmpty() && !argument.startsWith(u'-'))
            return QDir::current().absoluteFilePath(argument);
    }
    return {};
}
