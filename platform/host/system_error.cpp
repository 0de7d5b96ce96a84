#include "system_error.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace {
struct KnownError
{
    int number;
    const char *text;
};

// The C library's zh_CN wording, so that the window says what the system would in Chinese
// even where that locale is not installed.
constexpr KnownError kKnownErrors[] = {
    {ENOSPC, QT_TRANSLATE_NOOP("SystemError", "设备上没有空间")},
    {EDQUOT, QT_TRANSLATE_NOOP("SystemError", "超出磁盘限额")},
    {EFBIG, QT_TRANSLATE_NOOP("SystemError", "文件过大")},
    {EIO, QT_TRANSLATE_NOOP("SystemError", "输入/输出错误")},
    {EACCES, QT_TRANSLATE_NOOP("SystemError", "权限不够")},
    {EPERM, QT_TRANSLATE_NOOP("SystemError", "不允许的操作")},
    {EROFS, QT_TRANSLATE_NOOP("SystemError", "只读文件系统")},
    {ENOENT, QT_TRANSLATE_NOOP("SystemError", "没有那个文件或目录")},
    {ENOTDIR, QT_TRANSLATE_NOOP("SystemError", "不是目录")},
    {EISDIR, QT_TRANSLATE_NOOP("SystemError", "是一个目录")},
    {EEXIST, QT_TRANSLATE_NOOP("SystemError", "文件已存在")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("SystemError", "文件名过长")},
    {EMFILE, QT_TRANSLATE_NOOP("SystemError", "打开的文件过多")},
    {ENFILE, QT_TRANSLATE_NOOP("SystemError", "系统中打开的文件过多")},
};
} // namespace

QString SystemError::text(int errorNumber)
{
    for (const KnownError &known : kKnownErrors) {
        if (known.number == errorNumber)
            return QCoreApplication::translate("SystemError", known.text);
    }
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}
