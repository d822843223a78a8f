#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVector>

// Every portal address the client uses, by role, scheme, path and query.
// Hosts come from portal.ini files (the data folder's first, see
// portalIniFiles() in app/datadir.h), key by key from the first file that has
// a valid one:
//   [hosts]
//   member=host:port   (likewise content, social, vip, pay, gift, portal, download)
// and default to the demo portal. A named host serves its role's http and
// https addresses alike; the default one gets http for both. Query values are
// percent-encoded; keys keep their order.
namespace Endpoints {

enum class Role { Member, Content, Social, Vip, Pay, Gift, Portal, Download };

enum class Address {
    LoginPage,       // member: login page of the login window
    Registration,    // member, https: system browser
    PasswordReset,   // member, https: system browser
    AccountSecurity, // member: system browser
    GameList,        // member: server-list API, all games
    ServerList,      // member: server-list API, servers of one game   (game tag)
    LoginApi,        // member: alt-account login API                  (username, password)
    EnterGame,       // member: a server's game page                   (game, server)
    EnterGameAsAlt,  // member: the same as an alt account             (game, server, boxSmall, ckcode)
    SiteMessages,    // member: site-message dialog
    Home,            // content: "Kavo首页"
    Search,          // content: "找游戏"
    Update,          // content: update check
    QqLogin,         // social
    WeChatLogin,     // social
    SignIn,          // vip: daily sign-in dialog
    PayHome,         // pay: top-up, system browser
    PayGame,         // pay: top-up for a game server, system browser  (gname, gserver)
    Gift,            // gift site, https: system browser
    Website,         // portal, https: system browser
    Faq,             // portal, https: system browser
    CustomerService, // portal, https: system browser
    DownloadSite,    // download site: newer versions, system browser
};

struct QueryItem {
    QString key;
    QString value;  // the fixed value; ignored when variable
    bool variable;  // supplied by the caller, in order
};

struct Definition {
    Address address;
    Role role;
    QString scheme;
    QString path;
    QVector<QueryItem> query;
};

const QVector<Definition> &definitions();
const Definition &definition(Address address);

// The address with the caller's values in place of the variable query items,
// in order. Missing values are sent empty and surplus ones dropped, with a warning.
QUrl url(Address address, const QStringList &values = {});

const QVector<Role> &roles();
QString roleKey(Role role);
QString host(Role role);                         // "host:port"
bool hasNamedHost(Role role);                    // false: the built-in default (the demo portal, http only)
void setHost(Role role, const QString &hostPort); // an invalid value keeps the old host, with a warning
void loadHosts(const QString &iniPath);          // reads [hosts]; missing keys fall back to the default
void loadHosts(const QStringList &iniPaths);     // the same over several files, the first one first
QString defaultHost();                           // the demo portal's default address

// Whether the system browser may be handed this address: http and https only.
bool isWebAddress(const QUrl &url);

// The address as a log line may show it: no query and no user info, since
// alt-account addresses carry check codes.
QString urlForLog(const QUrl &url);

} // namespace Endpoints
