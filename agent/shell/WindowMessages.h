#pragma once

// The agent's private window messages and timer ids. Worker threads hand a message number to the
// completion notifier; the main window posts it to itself as an event of that number, so every
// value is above the first user message number and fits an event type.

inline constexpr int WM_USER_BASE = 1024;

inline constexpr int WM_TRAYNOTIFY = WM_USER_BASE + 101; // 1125: tray icon callback
inline constexpr int WM_USERINFO_DONE = WM_USER_BASE + 200; // 1224: user-info job ended
inline constexpr int WM_MESSAGES_DONE = WM_USER_BASE + 201; // 1225: message poll job ended
inline constexpr int WM_SPONSOR_DONE = WM_USER_BASE + 203; // 1227: sponsor job ended
inline constexpr int WM_CLICKLOG_DONE = WM_USER_BASE + 204; // 1228: click-log job ended
inline constexpr int WM_MAILCOUNT_DONE = WM_USER_BASE + 205; // 1229: POP3 counter job ended
inline constexpr int WM_MAILCOUNT_CONNECTED = WM_USER_BASE + 206; // 1230: POP3 counter reached its server
inline constexpr int WM_VENDORLOGO_DONE = WM_USER_BASE + 208; // 1232: vendor logo job ended

inline constexpr int ID_TIMER_BLINK = 102; // tray icon blink
inline constexpr int ID_TIMER_MINUTE = 103; // drives the poll scheduler
inline constexpr int kBlinkIntervalMs = 1000;
inline constexpr int kMinuteIntervalMs = 60000;

static_assert(WM_TRAYNOTIFY == 1125 && WM_MESSAGES_DONE == 1225 && WM_VENDORLOGO_DONE == 1232);
