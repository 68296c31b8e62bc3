#include "app/desktopnotify.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QVariantMap>

namespace velto {

namespace {

constexpr auto kService = "org.freedesktop.Notifications";
constexpr auto kPath = "/org/freedesktop/Notifications";
// The default action answers a click on the notification; the open
// action is the button servers show for it (a default action alone shows
// none on GNOME).
constexpr auto kActionKey = "default";
constexpr auto kOpenKey = "open";

// What the service said of our notification. Signals are heard from before
// the call, as a service may close it before its answer arrives.
class Outcome : public QObject
{
    Q_OBJECT
public:
    QEventLoop loop;

    void setId(uint id)
    {
        m_id = id;
        if (m_closed.contains(id))
            finish(id);
    }
    [[nodiscard]] bool invoked() const { return m_invoked.contains(m_id); }
    [[nodiscard]] bool closed() const { return m_closed.contains(m_id); }

public Q_SLOTS:
    void actionInvoked(uint id, const QString &key)
    {
        if (key == QLatin1String(kActionKey) || key == QLatin1String(kOpenKey))
            m_invoked.append(id);
        finish(id);
    }
    void notificationClosed(uint id, uint /*reason*/) { finish(id); }

private:
    void finish(uint id)
    {
        if (!m_closed.contains(id))
            m_closed.append(id);
        if (id == m_id)
            loop.quit();
    }
    uint m_id = 0;
    QList<uint> m_invoked, m_closed;
};

Status busFailure(const QString &reason)
{
    return Status::failure(kErrorNotOpen, reason);
}

} // namespace

Status sendDesktopNotification(const DesktopNotification &n, const QString &programPath, int waitMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return busFailure(bus.lastError().message());
    QDBusInterface service{QLatin1String(kService), QLatin1String(kPath), QLatin1String(kService), bus};
    const QDBusReply<QStringList> caps = service.call(QStringLiteral("GetCapabilities"));
    if (!caps.isValid())
        return busFailure(caps.error().message());
    const bool actions = caps.value().contains(QLatin1String("actions"));
    const bool markup = caps.value().contains(QLatin1String("body-markup"));

    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("velto"));
    // Markup needs "&" and "<" escaped, or a client called "A & B" loses its
    // name; lines stay plain line breaks, which the markup of the
    // freedesktop notification markup keeps (it has no <br/>).
    QString body = n.body;
    if (markup)
        body.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
    const QStringList actionList = actions
        ? QStringList{QLatin1String(kActionKey), n.actionText, QLatin1String(kOpenKey), n.actionText}
        : QStringList();
    Outcome outcome;
    if (actions && waitMs > 0) {
        bus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kService),
                    QStringLiteral("ActionInvoked"), &outcome, SLOT(actionInvoked(uint, QString)));
        bus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kService),
                    QStringLiteral("NotificationClosed"), &outcome, SLOT(notificationClosed(uint, uint)));
    }
    const QDBusReply<uint> sent = service.call(QStringLiteral("Notify"), QStringLiteral("Velto"), 0u,
                                               QStringLiteral("velto"), n.summary, body, actionList, hints, -1);
    if (!sent.isValid())
        return busFailure(sent.error().message());
    if (!actions || waitMs <= 0)
        return Status::success();

    // The action is only answered while this process listens for it.
    outcome.setId(sent.value());
    if (!outcome.closed()) {
        QTimer::singleShot(waitMs, &outcome.loop, &QEventLoop::quit);
        outcome.loop.exec();
    }
    if (outcome.invoked() && !QProcess::startDetached(programPath, {}))
        return busFailure(programPath);
    return Status::success();
}

} // namespace velto

#include "desktopnotify.moc"
