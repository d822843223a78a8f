#include "endpoints.h"
#include "core/datadir.h"
#include "core/logging.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QSettings>

namespace Endpoints {
namespace {

QueryItem fixed(const char *key, const char *value) { return {QLatin1String(key), QLatin1String(value), false}; }
QueryItem variable(const char *key) { return {QLatin1String(key), QString(), true}; }

const QVector<Definition> kDefinitions = {
    {Address::LoginPage, Role::Member, "http", "/Kavobox2", {}},
    {Address::Registration, Role::Member, "https", "/reg_new.html", {fixed("pyx_url", "Kavobox_v2")}},
    {Address::PasswordReset, Role::Member, "https", "/resetpassword.html", {}},
    {Address::AccountSecurity, Role::Member, "http", "/userprotect.php", {}},
    {Address::GameList, Role::Member, "http", "/api/allserver_series.php", {fixed("act", "getgame")}},
    {Address::ServerList, Role::Member, "http", "/api/allserver_series.php",
     {fixed("limit", ""), fixed("start", "0"), fixed("end", "0"), fixed("check", "Kavobox"), variable("gamename")}},
    {Address::LoginApi, Role::Member, "http", "/login.php",
     {fixed("action", "get_user"), variable("username"), variable("password")}},
    {Address::EnterGame, Role::Member, "http", "/entergame.php",
     {variable("game"), variable("server"), fixed("client", "1"), fixed("tobox", "1")}},
    {Address::EnterGameAsAlt, Role::Member, "http", "/entergame.php",
     {variable("game"), variable("server"), variable("boxSmall"), variable("ckcode"), fixed("tobox", "1")}},
    {Address::SiteMessages, Role::Member, "http", "/Kavobox2/znx.html", {}},
    {Address::Home, Role::Content, "http", "/landers.html", {}},
    {Address::Search, Role::Content, "http", "/search.html", {}},
    {Address::Update, Role::Content, "http", "/update/", {}},
    {Address::QqLogin, Role::Social, "http", "/api/third_api/qq_login/qq_login.php",
     {fixed("tobox", "tobox"), fixed("tobox2", "tobox2"), fixed("cpl_url", "Kavobox")}},
    {Address::WeChatLogin, Role::Social, "http", "/api/third_api/weixin_login/wx_login.php",
     {fixed("tobox", "tobox"), fixed("tobox2", "tobox2"), fixed("cpl_url", "Kavobox")}},
    {Address::SignIn, Role::Vip, "http", "/task/qiandao.html", {}},
    {Address::PayHome, Role::Pay, "http", "/", {}},
    {Address::PayGame, Role::Pay, "http", "/index.php", {fixed("payway", "10"), variable("gname"), variable("gserver")}},
    {Address::Gift, Role::Gift, "https", "/", {}},
    {Address::Website, Role::Portal, "https", "/", {}},
    {Address::Faq, Role::Portal, "https", "/cjwt/", {}},
    {Address::CustomerService, Role::Portal, "https", "/client-service/", {}},
    {Address::DownloadSite, Role::Download, "http", "/", {}},
};

const QVector<Role> kRoles = {Role::Member, Role::Content, Role::Social, Role::Vip,
                              Role::Pay, Role::Gift, Role::Portal, Role::Download};

struct Hosts {
    bool loaded = false;
    QHash<int, QString> byRole;
};

Hosts &hosts()
{
    static Hosts s_hosts;
    return s_hosts;
}

// A host is "name" or "name:port"; anything carrying a scheme, path or
// credentials would silently send every request somewhere else.
bool validHost(const QString &hostPort)
{
    if (hostPort.isEmpty() || hostPort.contains(QLatin1Char('/')) || hostPort.contains(QLatin1Char('@')))
        return false;
    const QUrl probe(QStringLiteral("http://") + hostPort, QUrl::StrictMode);
    return probe.isValid() && !probe.host().isEmpty();
}

void ensureLoaded()
{
    if (!hosts().loaded)
        loadHosts(portalIniFiles(dataDir(), QCoreApplication::applicationDirPath(), systemConfigDirs()));
}

} // namespace

const QVector<Definition> &definitions() { return kDefinitions; }

const QVector<Role> &roles() { return kRoles; }

const Definition &definition(Address address)
{
    for (const Definition &d : kDefinitions) {
        if (d.address == address)
            return d;
    }
    Q_UNREACHABLE();
    return kDefinitions.first();
}

QString defaultHost() { return QStringLiteral("127.0.0.1:18765"); }

QString roleKey(Role role)
{
    switch (role) {
    case Role::Member: return QStringLiteral("member");
    case Role::Content: return QStringLiteral("content");
    case Role::Social: return QStringLiteral("social");
    case Role::Vip: return QStringLiteral("vip");
    case Role::Pay: return QStringLiteral("pay");
    case Role::Gift: return QStringLiteral("gift");
    case Role::Portal: return QStringLiteral("portal");
    case Role::Download: return QStringLiteral("download");
    }
    return QString();
}

bool hasNamedHost(Role role)
{
    ensureLoaded();
    return hosts().byRole.contains(int(role));
}

QString host(Role role)
{
    ensureLoaded();
    return hosts().byRole.value(int(role), defaultHost());
}

void setHost(Role role, const QString &hostPort)
{
    hosts().loaded = true;
    const QString value = hostPort.trimmed();
    if (!validHost(value)) {
        qCWarning(lcCore).noquote() << "ignoring invalid portal host for" << roleKey(role) << ":" << hostPort;
        return;
    }
    hosts().byRole.insert(int(role), value);
}

void loadHosts(const QString &iniPath)
{
    loadHosts(QStringList{iniPath});
}

void loadHosts(const QStringList &iniPaths)
{
    hosts().loaded = true;
    hosts().byRole.clear();
    for (const QString &iniPath : iniPaths) {
        if (!QFileInfo::exists(iniPath))
            continue;
        qCInfo(lcCore).noquote() << "reading portal hosts from" << iniPath;
        QSettings ini(iniPath, QSettings::IniFormat);
        if (ini.status() != QSettings::NoError)
            qCWarning(lcCore).noquote() << "could not read" << iniPath << "; the other sources and the defaults answer";
        ini.beginGroup(QStringLiteral("hosts"));
        for (Role role : kRoles) {
            const QString value = ini.value(roleKey(role)).toString();
            // setHost refuses a bad value, so a later file answers for it.
            if (!value.isEmpty() && !hosts().byRole.contains(int(role)))
                setHost(role, value);
        }
    }
}

QUrl url(Address address, const QStringList &values)
{
    const Definition &d = definition(address);
    QStringList pairs;
    int next = 0;
    for (const QueryItem &item : d.query) {
        QString value = item.value;
        if (item.variable)
            value = next < values.size() ? values.at(next) : QString();
        next += item.variable ? 1 : 0;
        pairs << item.key + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value));
    }
    if (next != values.size())
        qCWarning(lcCore).noquote() << "address" << d.path << "takes" << next << "values, given" << values.size();

    // The demo portal behind the built-in default speaks plain http only; a
    // host named in portal.ini keeps the address's own scheme.
    QString scheme = d.scheme;
    if (!hasNamedHost(d.role))
        scheme = QStringLiteral("http");
    QUrl result(scheme + QStringLiteral("://") + host(d.role), QUrl::StrictMode);
    result.setPath(d.path);
    if (!pairs.isEmpty())
        result.setQuery(pairs.join(QLatin1Char('&')), QUrl::StrictMode);
    return result;
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString urlForLog(const QUrl &url)
{
    return url.toDisplayString(QUrl::RemoveQuery | QUrl::RemoveUserInfo);
}

} // namespace Endpoints
