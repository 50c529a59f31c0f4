#include "supporttext.h"

#include "atomicfile.h"

QString SupportTextProblem(const QByteArray &bytes)
{
    if (bytes.size() > SupportTextMaxBytes)
        return QStringLiteral("larger than 1 MB");
    int line = 0;
    for (const char c : bytes) {
        if (c == '\n' || c == '\r') {
            line = 0;
            continue;
        }
        // UTF-8 continuation bytes belong to the character before them.
        if ((quint8(c) & 0xC0) != 0x80 && ++line > SupportTextMaxLine)
            return QStringLiteral("a line longer than 10,000 characters");
    }
    return QString();
}

Result<QByteArray> ReadSupportText(const QString &path)
{
    Result<QByteArray> bytes = ReadFileHead(path, SupportTextMaxBytes + 1);
    if (!bytes)
        return bytes;
    if (const QString problem = SupportTextProblem(*bytes); !problem.isEmpty())
        return Status::Error(FileError(path, problem));
    return bytes;
}
