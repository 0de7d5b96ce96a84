#pragma once

#include <QWidget>

/// Seven-segment display of a text value.
class MorphDisplay : public QWidget
{
    Q_OBJECT

public:
    explicit MorphDisplay(QWidget *parent = nullptr);
};
