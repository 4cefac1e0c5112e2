// Aligned text columns and JSON for what the switch holds.
#include "cli/output.h"

#include <QJsonDocument>
#include <algorithm>
#include <cstdint>

#include "snmp/decimal.h"
#include "snmp/display_text.h"

namespace tarnwick::cli {
namespace {

// Characters, not bytes: UTF-8 continuation bytes take no column.
std::size_t TextWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string NameCell(std::string_view bytes) {
    QString text = DisplayText(bytes);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    return text.trimmed().toStdString();
}

std::string AlignedColumns(const TextRows& rows, std::string_view indent) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], TextWidth(row[column]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line(indent);
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line.append(widths[column] - TextWidth(row[column]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + '\n';
    }
    return text;
}

QJsonValue NumberOrText(std::string_view text) {
    if (const auto number = ParseDecimal<std::int64_t>(text)) {
        return static_cast<qint64>(*number);
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string JsonText(const QJsonObject& document) {
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace tarnwick::cli
