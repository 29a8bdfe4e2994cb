#pragma once

// The bands of the frame's two coolbars, numbered from 1 in the order they stand.
namespace FrameBands {
// CoolBar1: the Go toolbar, the address bar, the additional-sites panel, then the
// Rotaview toolbar (the check box up to "Hide Toolbar").
enum { BandGo = 1, BandAddress = 2, BandExtras = 3, BandFlick = 4, BandSlider = 5, BandPopStat = 6,
       BandSearch = 7, BandHide = 8 };
// CoolBar2: the tab strip and the built-in sites.
enum { BandTabs = 1, BandBuiltins = 2 };
}
