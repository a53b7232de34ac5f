#include "ProgressText.h"

#include "ProgressCodes.h"

const wchar_t* StatusTextFor(int code)
{
    switch (code) {
    case ProgressExtracting:
        return L"安装进行中，正在解压文件...";
    case ProgressCopying:
        return L"安装进行中，正在拷贝文件到安装目录...";
    case ProgressStartMenu:
        return L"安装进行中，写开始菜单...";
    case ProgressRegistering:
        return L"安装进行中，正在注册启动项...";
    case ProgressCleaningUp:
        return L"安装进行中，正在删除临时文件...";
    case ProgressSucceeded:
        return L"恭喜你，软件成功安装，可以开始体验人性化的便签软件了！";
    case ProgressFailed:
        return L"安装失败！";
    default:
        return nullptr;
    }
}

const wchar_t* ProgressValueFor(int code)
{
    switch (code) {
    case ProgressExtracting:
        return L"17%";
    case ProgressCopying:
        return L"33%";
    case ProgressStartMenu:
        return L"50%";
    case ProgressRegistering:
        return L"67%";
    case ProgressCleaningUp:
        return L"83%";
    case ProgressSucceeded:
        return L"安装完成";
    case ProgressFailed:
        return L"安装失败";
    default:
        return nullptr;
    }
}
