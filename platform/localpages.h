#pragma once
class QWebEngineUrlRequestInfo;

// A page opened from a file on this machine is made of the files beside it (its
// stylesheets, scripts, pictures and frames of pages), and the engine already keeps it
// from loading anything off the network. What it is not given: other files' contents
// (reading a file through XHR or fetch, or framing one that is not a page, whose text
// a script could then read) and a WebSocket, the one way out the engine leaves open.
namespace LocalPages {

// True when the request comes from a page opened from a file and asks for one of those.
bool refused(const QWebEngineUrlRequestInfo &info);

}
