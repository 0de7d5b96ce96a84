#pragma once

#include <QWidget>

/// Seven-segment display of a text value.
class MorphDisplay : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Value READ Value WRITE setValue)

public:
    explicit MorphDisplay(QWidget *parent = nullptr);

    QString Value() const { return m_value; }
    void setValue(const QString &value);

private:
    QString m_value = QStringLiteral("1234567890");
};
