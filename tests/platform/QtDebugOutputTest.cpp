#include "platform/QtDebugOutput.h"

#include <QLoggingCategory>
#include <QStringList>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

QStringList gCaught;

void Catch(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category && QLatin1String(context.category) == QLatin1String("vaskel.link"))
        gCaught << message;
}

// The link's trace lines (every few milliseconds on a busy link) are no
// output of a normal run: on Windows they reach the debugger, elsewhere
// nothing unless asked for; asked for, they come as written.
TEST(QtDebugOutput, TraceLinesStayOffStandardErrorUnlessAskedFor) {
    gCaught.clear();
    const QtMessageHandler previous = qInstallMessageHandler(Catch);
    DebugOutput("Send request. Postmessage - FSePuffer Index: 3");
#ifdef Q_OS_WIN
    EXPECT_EQ(gCaught.size(), 1);
#else
    EXPECT_TRUE(gCaught.isEmpty()) << gCaught.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(DebugOutputCategory().isDebugEnabled());
#endif
    gCaught.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("vaskel.link.debug=true"));
    DebugOutput("Z\xE4hler");
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    EXPECT_EQ(gCaught, QStringList{QString::fromUtf8("Zähler")});
}

} // namespace
} // namespace vaskel
