// How a value the switch holds is shown as text, and how a text becomes the logic's bytes.
#include "snmp/display_text.h"

#include <QByteArrayView>
#include <QStringDecoder>

namespace tarnwick {
namespace {

QString DecodeStrict(QStringDecoder& decoder, QByteArrayView bytes) {
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

}  // namespace

QString DisplayText(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    if (QString text = DecodeStrict(utf8, view); !text.isNull() || bytes.empty()) {
        return text;
    }
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (gb18030.isValid()) {
        if (QString text = DecodeStrict(gb18030, view); !text.isNull()) {
            return text;
        }
    }
    return QString::fromUtf8(view);
}

std::string LogicText(const QString& text) {
    return text.toStdString();
}

}  // namespace tarnwick
