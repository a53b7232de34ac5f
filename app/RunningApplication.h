#pragma once

// The running notes application, seen through its points of contact: a top-level
// window titled "Pinvora" and the event "Global\PinvoraLiveEvent".

// The question asked while the application runs, with the buttons "重试" and "取消".
constexpr wchar_t ApplicationRunningText[] = L"安装程序检查到Tessamo正在运行中，请先关闭后重试";
constexpr wchar_t ApplicationRunningTitle[] = L"程序正在运行";

// Asks the application's window, if there is one, to close. Gives up on a window that
// does not answer within a second and a half instead of hanging with it. True when a window
// was found.
bool AskApplicationToClose();

// True while the liveness event exists, including when it exists but may not be
// opened by us.
bool IsApplicationRunning();
