#include "report_comparison.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRect>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {
QString valueText(const QJsonValue &value)
{
    if (value.isUndefined())
        return QStringLiteral("(absent)");
    // Wrapped in an array so that a bare string or number comes out as JSON too.
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

/// The path of the first difference below path and both values there. Keys are visited in
/// the order the report writes them (sorted), so "first" is the first line of a diff.
std::optional<QString> firstDifference(
    const QJsonValue &shown, const QJsonValue &recorded, const QStringList &path)
{
    if (shown == recorded)
        return std::nullopt;
    if (shown.isObject() && recorded.isObject()) {
        const QJsonObject shownObject = shown.toObject();
        const QJsonObject recordedObject = recorded.toObject();
        QStringList keys = shownObject.keys() + recordedObject.keys();
        keys.sort();
        keys.removeDuplicates();
        for (const QString &key : keys) {
            // The controls are what a reader looks for: "lblStatus.text", not "controls.…".
            const QStringList below =
                path.isEmpty() && key == QLatin1String("controls") ? path : path + QStringList{key};
            if (const auto difference =
                    firstDifference(shownObject.value(key), recordedObject.value(key), below))
                return difference;
        }
    }
    return QStringLiteral("%1: %2 != %3")
        .arg(path.isEmpty() ? QStringLiteral("(report)") : path.join(QLatin1Char('.')),
            valueText(shown), valueText(recorded));
}
} // namespace

ReportComparison::ReportComparison(const QByteArray &report, const QByteArray &expected)
{
    if (report == expected)
        return;
    QJsonParseError error;
    const QJsonDocument shown = QJsonDocument::fromJson(report, &error);
    if (shown.isNull()) {
        m_failure = QStringLiteral("report is no JSON: %1 at byte %2")
                        .arg(error.errorString())
                        .arg(error.offset);
        return;
    }
    const QJsonDocument recorded = QJsonDocument::fromJson(expected, &error);
    if (recorded.isNull()) {
        m_failure = QStringLiteral("recorded report is no JSON: %1 at byte %2")
                        .arg(error.errorString())
                        .arg(error.offset);
        return;
    }
    const auto toValue = [](const QJsonDocument &document) {
        return document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    };
    m_failure = firstDifference(toValue(shown), toValue(recorded), {})
                    .value_or(QStringLiteral("same values, written differently (layout or "
                                             "number format)"));
}

QStringList controlsHolding(const QJsonObject &controls, const QPoint &point)
{
    std::vector<std::pair<QRect, QString>> holding;
    for (auto control = controls.begin(); control != controls.end(); ++control) {
        const QJsonObject properties = control.value().toObject();
        const QJsonArray geometry = properties.value(QLatin1String("geometry")).toArray();
        if (geometry.size() != 4 || !properties.value(QLatin1String("visible")).toBool())
            continue;
        const QRect area(
            geometry[0].toInt(), geometry[1].toInt(), geometry[2].toInt(), geometry[3].toInt());
        if (area.contains(point))
            holding.emplace_back(area, control.key());
    }
    const auto size = [](const QRect &area) { return qint64(area.width()) * area.height(); };
    // Stable, so that equal sizes keep the report's order of names.
    std::stable_sort(holding.begin(), holding.end(),
        [&size](const auto &a, const auto &b) { return size(a.first) < size(b.first); });
    QStringList names;
    for (const auto &[area, name] : holding) {
        names.append(QStringLiteral("%1 [%2, %3, %4, %5]")
                         .arg(name)
                         .arg(area.x())
                         .arg(area.y())
                         .arg(area.width())
                         .arg(area.height()));
    }
    return names;
}
