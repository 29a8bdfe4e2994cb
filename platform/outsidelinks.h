#pragma once
class QUrl;
class QWidget;

// Links to addresses no page can show (mailto:, a chat or a store programme's scheme)
// go to another programme only when the person who clicked one agrees.
namespace OutsideLinks {

// True for the schemes the engine shows itself, those registered with it included.
bool engineShows(const QUrl &url);
// Asks, once the engine's call has returned, whether to hand the address to the
// desktop; while one such question is open, further ones are dropped.
void offer(QWidget *parent, const QUrl &url);

}
