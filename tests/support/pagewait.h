#pragma once
#include <QString>
#include <QVariant>

class BrowserControl;

// Helpers for end-to-end tests with the real engine (nested loops are fine here).
namespace PageWait {
// Navigates and waits for DocumentComplete; false on timeout.
bool load(BrowserControl *web, const QString &url, int timeoutMs = 30000);
// Runs script in the page's main world and returns its value (invalid on timeout).
QVariant eval(BrowserControl *web, const QString &script, int timeoutMs = 10000);
}
