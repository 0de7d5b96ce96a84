#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

/// Compares a rendered window with its recorded picture, allowing what a font or hinting change
/// does to anti-aliased text edges, but nothing inside the areas whose pixels carry data (the
/// chart's face, the readout).
class PictureComparison
{
public:
    /// Share of all pixels that may differ outside the exact areas.
    static constexpr double kLargestDifferingShare = 0.005;
    /// How far, per colour channel, such a pixel may differ.
    static constexpr int kLargestChannelDifference = 48;

    PictureComparison(
        const QImage &picture, const QImage &expected, const QList<QRect> &exactAreas);

    bool matches() const { return m_failure.isEmpty(); }
    /// Why the pictures do not match; empty when they do.
    const QString &failure() const { return m_failure; }
    /// The pixel the failure names, or the first that differs where too many do; none when the
    /// pictures match or differ in size.
    std::optional<QPoint> pixel() const { return m_pixel; }

private:
    QString m_failure;
    std::optional<QPoint> m_pixel;
};
