#pragma once

// The status line for a progress code; null for codes that leave it unchanged.
const wchar_t* StatusTextFor(int code);

// How far the installation is after a code, as assistive technology reads a progress
// bar's value: a percentage of the steps, then "安装完成" or "安装失败"; null for codes
// that leave it unchanged.
const wchar_t* ProgressValueFor(int code);
