#include "ui/Support/GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace
{
bool IsAscii(std::string_view bytes)
{
    for (char ch : bytes)
    {
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QString FromGbk(std::string_view bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder decoder("windows-936", QStringConverter::Flag::Stateless);
    Q_ASSERT(decoder.isValid());
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> ToGbk(const QString& text)
{
    bool ascii = true;
    for (QChar ch : text)
    {
        if (ch.unicode() >= 0x80)
        {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLatin1().toStdString();
    QStringEncoder encoder("windows-936", QStringConverter::Flag::Stateless);
    Q_ASSERT(encoder.isValid());
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes.toStdString();
}

std::string GbkLiteral(const QString& text)
{
    return ToGbk(text).value_or(std::string());
}
