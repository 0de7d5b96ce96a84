#include "status_line.h"

#include "app/application_setup.h"
#include "panels/font_fitting.h"
#include "profile_reader.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

namespace {
// The smallest type a status text may take to be shown whole.
constexpr qreal kSmallestStatusPoints = 8.0;
// The mark that nothing is recorded: right of the status line in its frame, clear of the port
// options above and the connect buttons below.
const QRect kNotRecordingPlace(216, 88, 62, 16);
const QColor kNotRecordingColour(192, 0, 0);
// The free row the status line lies in, between the port options and the connect buttons, from
// the options' left edge to the frame's inner edge.
constexpr int kStatusRowLeft = 4;
constexpr int kStatusRowRight = 277;
} // namespace

StatusLine::StatusLine(QLabel *label, const QString &settingsFile, QObject *parent)
    : QObject(parent)
    , m_label(label)
    , m_settingsFile(settingsFile)
    , m_designFont(label->font())
    , m_designPlace(label->geometry())
    , m_shortText(label->text())
{
    m_label->installEventFilter(this);
}

void StatusLine::show(const QString &shortText, const QString &detail, const QString &cuttable)
{
    m_standing = false;
    display(shortText, detail, cuttable);
}

void StatusLine::showStanding(const QString &shortText, const QString &detail)
{
    display(shortText, detail, {});
    m_standing = true;
}

void StatusLine::showLineReceived()
{
    if (!m_standing)
        display(tr("连接温度控制器成功！"), m_recordingFailure, {});
}

void StatusLine::display(const QString &shortText, const QString &detail, const QString &cuttable)
{
    const QString whole = detail.isEmpty() ? shortText : shortText + u'\n' + detail;
    // Every received line reports again; an unchanged status costs one comparison.
    if (whole == m_status)
        return;
    m_status = whole;
    m_shortText = shortText;
    m_cuttable = cuttable;
    m_label->setToolTip(whole);
    layOut();
}

/// A text too long for the design's place, even in the smallest type, takes the free row to its
/// right, then the whole row, before anything of it is cut.
void StatusLine::layOut()
{
    const int rowRight = m_notRecording && m_notRecording->isVisibleTo(m_label->parentWidget())
        ? m_designPlace.right()
        : kStatusRowRight;
    const QRect toTheRight(m_designPlace.topLeft(), QPoint(rowRight, m_designPlace.bottom()));
    const QRect wholeRow(QPoint(kStatusRowLeft, m_designPlace.top()), toTheRight.bottomRight());
    const int margins = m_label->width() - m_label->contentsRect().width();
    QRect place;
    FittedLine fitted;
    for (const QRect &candidate : {m_designPlace, toTheRight, wholeRow}) {
        place = candidate;
        fitted = fitOneLine(
            m_designFont, m_shortText, place.width() - margins, kSmallestStatusPoints, m_cuttable);
        if (fitted.text == m_shortText)
            break;
    }
    if (m_label->geometry() != place)
        m_label->setGeometry(place);
    if (m_label->font() != fitted.font)
        m_label->setFont(fitted.font);
    m_label->setText(fitted.text);
}

void StatusLine::reportSettingsFile()
{
    const ProfileFileCheck check = checkProfileFile(m_settingsFile);
    const QString path = QDir::toNativeSeparators(m_settingsFile);
    if (check.outcome == ProfileFileCheck::Outcome::NotRegular)
        show(tr("无法读取设置文件：%1 不是普通文件").arg(path), {}, path);
    else if (check.outcome == ProfileFileCheck::Outcome::Unreadable)
        show(tr("无法读取设置文件：%1").arg(path), check.reason, path);
    else if (check.outcome == ProfileFileCheck::Outcome::TooLarge)
        show(tr("设置文件超过 1 MB，只读取了开头：%1").arg(path), {}, path);
}

void StatusLine::setRecordingEnabled(bool enabled)
{
    m_recordingEnabled = enabled;
    showRecordingMark();
}

void StatusLine::reportRecordingFailure(const QString &reason)
{
    m_recordingFailure = tr("记录失败：") + reason;
    qWarning("%s", qUtf8Printable(m_recordingFailure));
    showStanding(m_recordingFailure);
    showRecordingMark();
}

void StatusLine::clearRecordingFailure()
{
    m_recordingFailure.clear();
    showRecordingMark();
}

void StatusLine::reportRecordRestarted(const QString &fileName)
{
    showStanding(tr("记录文件已不在原处，改记到新文件：%1").arg(fileName));
}

void StatusLine::reportRunsFileElsewhere(const QString &foreignName, const QString &fileName)
{
    showStanding(tr("运行记录改记到 %1").arg(fileName),
        tr("%1 不是本程序的运行记录，未改动它").arg(foreignName));
}

bool StatusLine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::ToolTip) {
        showToolTip(static_cast<QHelpEvent *>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void StatusLine::showToolTip(const QPoint &position) const
{
    const QString path = QDir::toNativeSeparators(m_settingsFile);
    const QFileInfo file(m_settingsFile);
    QStringList lines{m_status};
    if (file.isFile())
        lines.append(tr("设置文件：%1").arg(path));
    else if (file.exists())
        lines.append(tr("无法读取设置文件：%1 不是普通文件").arg(path));
    else
        lines.append(tr("没有找到设置文件 %1，按默认设置运行").arg(path));
    const QString language = languageSetting(m_settingsFile).unknown;
    if (!language.isEmpty())
        lines.append(
            tr("设置文件中的 [UI] LANG=%1 不是可用的语言（zh 或 en），已忽略").arg(language));
    lines.removeAll(QString());
    QToolTip::showText(position, lines.join(u'\n'), m_label);
}

/// Made the first time it is needed, its tooltip saying why nothing is recorded.
void StatusLine::showRecordingMark()
{
    const QString reason =
        m_recordingEnabled ? m_recordingFailure : tr("记录已关闭：设置文件中 [RECORD] ENABLED=0");
    if (reason.isEmpty() && !m_notRecording)
        return;
    if (!m_notRecording) {
        m_notRecording = new QLabel(tr("未记录"), m_label->parentWidget());
        m_notRecording->setObjectName(QStringLiteral("notRecording"));
        m_notRecording->setAlignment(Qt::AlignRight | Qt::AlignTop);
        QPalette palette = m_notRecording->palette();
        palette.setColor(QPalette::WindowText, kNotRecordingColour);
        m_notRecording->setPalette(palette);
        m_notRecording->setGeometry(kNotRecordingPlace);
    }
    m_notRecording->setToolTip(reason);
    m_notRecording->setVisible(!reason.isEmpty());
    layOut();
}
