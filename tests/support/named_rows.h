#pragma once

#include <QList>
#include <QMap>
#include <QString>

/// The rows of a record or run table below its heading, each as column name to cell, so that a
/// test names the columns it checks; empty when the file cannot be read.
QList<QMap<QString, QString>> namedRows(const QString &path);
