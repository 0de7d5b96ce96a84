#include "plant_model_text.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

QString localTime(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

std::vector<PlantModelText::Figure> PlantModelText::figures(const PlantModel &model)
{
    const QString gain = withError(model.gain, model.gainError());
    const QString full =
        withError(model.fullOutputGain(), model.gainError() * PlantModel::kFullOutput);
    return {
        {tr("增益 K"), tr("%1 ℃/计数（满输出 %2 ℃）").arg(gain, full)},
        {tr("时间常数 τ"), withError(model.timeConstant, model.timeConstantError()) + tr(" s")},
        {tr("纯滞后 θ"), withError(model.deadTime, model.deadTimeError()) + tr(" s")},
        {tr("无输出时的温度"), tr("%1 ℃").arg(model.offset, 0, 'f', 1)},
        {tr("拟合误差（rms）"), tr("%1 ℃（记录精确到 0.1 ℃）").arg(model.rms, 0, 'f', 2)},
        {tr("拟合的行"),
            tr("%1 行，%2 至 %3")
                .arg(model.lines)
                .arg(localTime(model.fromMilliseconds), localTime(model.toMilliseconds))},
    };
}

QString PlantModelText::oneLine(const PlantModel &model)
{
    return tr("K %1 ℃/计数，τ %2 s，θ %3 s，rms %4 ℃")
        .arg(withError(model.gain, model.gainError()),
            withError(model.timeConstant, model.timeConstantError()),
            withError(model.deadTime, model.deadTimeError()), QString::number(model.rms, 'f', 2));
}

QString PlantModelText::looseness(const PlantModel &model)
{
    constexpr double kLooseShare = 0.25;
    constexpr double kLooseDeadTime = 1.0;
    QStringList loose;
    // A share past any int is shown as a number, never rounded into one.
    const auto share = [](double error, double value) {
        constexpr double kWholeShown = 1e4;
        const double percent = error / value * 100;
        return percent < kWholeShown ? QString::number(percent, 'f', 0)
                                     : QString::number(percent, 'g', 2);
    };
    if (model.gainError() > kLooseShare * model.gain)
        loose << tr("K ±%1 %").arg(share(model.gainError(), model.gain));
    if (model.timeConstantError() > kLooseShare * model.timeConstant)
        loose << tr("τ ±%1 %").arg(share(model.timeConstantError(), model.timeConstant));
    if (model.deadTimeError() > model.deadTime + kLooseDeadTime)
        loose << tr("θ ±%1 s").arg(model.deadTimeError(), 0, 'f', 1);
    if (loose.isEmpty())
        return {};
    return tr("模型不够确定（%1）：这次运行对过程说得不多，预测只可作参考；用一次 3 ℃ "
              "以上的阶跃再拟合更可靠")
        .arg(loose.join(tr("，")));
}

QString PlantModelText::withError(double value, double error)
{
    const int places = error > 0 && std::isfinite(error)
        ? std::clamp(1 - int(std::floor(std::log10(error))), 0, 6)
        : 3;
    return QStringLiteral("%1 ± %2").arg(
        QString::number(value, 'f', places), QString::number(error, 'f', places));
}
