#include "device_access.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
constexpr int kGroupReadWrite = 060;
} // namespace

DeviceAccess::Remedy DeviceAccess::remedy() const
{
    const bool groupMayUse = (mode & kGroupReadWrite) == kGroupReadWrite;
    if (group.isEmpty() || !groupMayUse || unfitToJoin || processHasGroup)
        return Remedy::None;
    return listedInGroup ? Remedy::LogInAgain : Remedy::JoinGroup;
}

QString DeviceAccess::advice() const
{
    switch (remedy()) {
    case Remedy::JoinGroup:
        return tr("把当前用户加入设备所属的组 %1：sudo usermod -aG %1 $USER，然后注销并重新登录。")
            .arg(group);
    case Remedy::LogInAgain:
        return tr("当前用户已在设备所属的组 %1 中，但这次登录早于加入：注销并重新登录。")
            .arg(group);
    case Remedy::None:
        break;
    }
    return tr("设备的权限不允许当前用户读写（所有者 %1，组 %2，权限 %3），加入组也无济于事；"
              "请管理员修改设备的权限。")
        .arg(owner, group, QString::number(mode & 0777, 8).rightJustified(3, u'0'));
}

#ifdef Q_OS_UNIX
namespace {
/// A group's entry, copied out of the static buffer that every later look-up overwrites.
struct GroupEntry
{
    gid_t id = 0;
    QByteArray name;
    QList<QByteArray> members;
};

std::optional<GroupEntry> groupEntry(gid_t id)
{
    const group *entry = ::getgrgid(id);
    if (!entry)
        return std::nullopt;
    GroupEntry copy{id, entry->gr_name, {}};
    for (char **member = entry->gr_mem; member && *member; ++member)
        copy.members.append(*member);
    return copy;
}

/// Root's own group, or one that lists a superuser or is a superuser's primary group.
bool hasSuperuser(const GroupEntry &entry)
{
    if (entry.id == 0)
        return true;
    for (const QByteArray &member : entry.members) {
        const passwd *account = ::getpwnam(member.constData());
        if (account && account->pw_uid == 0)
            return true;
    }
    bool primary = false;
    ::setpwent();
    while (const passwd *account = ::getpwent())
        primary = primary || (account->pw_uid == 0 && account->pw_gid == entry.id);
    ::endpwent();
    return primary;
}

bool listsThisUser(const GroupEntry &entry)
{
    const passwd *user = ::getpwuid(::geteuid());
    return user && (user->pw_gid == entry.id || entry.members.contains(QByteArray(user->pw_name)));
}

bool processHas(gid_t id)
{
    if (::getegid() == id)
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(qMax(count, 0)));
    if (count <= 0 || ::getgroups(count, groups.data()) < 0)
        return false;
    return std::find(groups.cbegin(), groups.cend(), id) != groups.cend();
}
} // namespace

DeviceAccess DeviceAccess::of(const QString &devicePath)
{
    DeviceAccess access;
    struct stat node
    {
    };
    if (::stat(QFile::encodeName(devicePath).constData(), &node) != 0)
        return access;
    access.mode = int(node.st_mode & 07777);
    const passwd *owner = ::getpwuid(node.st_uid);
    access.owner = owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(node.st_uid);
    access.processHasGroup = processHas(node.st_gid);
    const std::optional<GroupEntry> entry = groupEntry(node.st_gid);
    access.group = entry ? QString::fromLocal8Bit(entry->name) : QString::number(node.st_gid);
    access.unfitToJoin = !entry || hasSuperuser(*entry);
    access.listedInGroup = entry && listsThisUser(*entry);
    return access;
}
#else
DeviceAccess DeviceAccess::of(const QString &)
{
    return {};
}
#endif
