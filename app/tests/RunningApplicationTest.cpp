#include <gtest/gtest.h>

#include <windows.h>

#include "RunningApplication.h"

namespace {

// The application may run under another account and hold its event with rights we do not
// get: an event we may not open still means that the application runs.
TEST(RunningApplication, AnEventWeMayNotOpenStillMeansRunning)
{
    EXPECT_FALSE(IsApplicationRunning());

    SECURITY_DESCRIPTOR noAccess;
    ASSERT_TRUE(::InitializeSecurityDescriptor(&noAccess, SECURITY_DESCRIPTOR_REVISION));
    ACL emptyAcl;
    ASSERT_TRUE(::InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&noAccess, TRUE, &emptyAcl, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &noAccess, FALSE};
    HANDLE live = ::CreateEventW(&attributes, TRUE, FALSE, L"Global\\PinvoraLiveEvent");
    ASSERT_TRUE(live);
    ASSERT_EQ(::OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Global\\PinvoraLiveEvent"), nullptr);
    ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    EXPECT_TRUE(IsApplicationRunning());
    ::CloseHandle(live);
    EXPECT_FALSE(IsApplicationRunning());
}

} // namespace
