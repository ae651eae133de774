// The help viewer's one-window channel on Windows, against the real named pipes: a second viewer
// hands over to the first, whose pipe only its user may open; a pipe of the same name made first
// by a program of another owner (a squatter) is handed nothing, so that viewer shows its own
// window. The squatter here is this test, making the pipe under the name the viewers use.
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "WindowClaim.h"
#include "WindowClaim_win32.h"

namespace {

QString currentUserSid() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  BYTE buffer[256];
  DWORD size = sizeof buffer;
  GetTokenInformation(token, TokenUser, buffer, size, &size);
  CloseHandle(token);
  wchar_t* text = nullptr;
  ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text);
  const QString sid = QString::fromWCharArray(text);
  LocalFree(text);
  return sid;
}

// A pipe of the viewers' name owned by `owner` (a SID), open to this user; closed at the end.
class Squatter {
public:
  Squatter(const std::wstring& name, const QString& owner) {
    const std::wstring sddl =
        (QStringLiteral("O:") + owner + "D:P(A;;GA;;;" + currentUserSid() + ")").toStdWString();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                         nullptr);
    SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
    m_pipe = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                              PIPE_TYPE_BYTE, 1, 0, 0, 0, &security);
    LocalFree(descriptor);
  }
  ~Squatter() { CloseHandle(m_pipe); }
  Squatter(const Squatter&) = delete;
  Squatter& operator=(const Squatter&) = delete;
  bool holds() const { return m_pipe != INVALID_HANDLE_VALUE; }

private:
  HANDLE m_pipe = INVALID_HANDLE_VALUE;
};

}  // namespace

class WindowClaimWin32Test : public QObject {
  Q_OBJECT

private slots:
  void secondViewerHandsOverToTheFirstWhosePipeIsTheUsersAlone() {
    const QString path = m_folder.filePath("first.html");
    WindowClaim first(path);
    QVERIFY(!first.handedOver());
    QSignalSpy raised(&first, &WindowClaim::raiseRequested);

    // Owner and the one entry of the access list: this user.
    const HANDLE end = CreateFileW(WindowClaimChannelName(path).c_str(), READ_CONTROL, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    QVERIFY2(end != INVALID_HANDLE_VALUE, "the viewer holds no pipe of the expected name");
    PSID owner = nullptr;
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    QCOMPARE(GetSecurityInfo(end, SE_KERNEL_OBJECT,
                             OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                             nullptr, &access, nullptr, &descriptor),
             DWORD{ERROR_SUCCESS});
    CloseHandle(end);
    wchar_t* ownerText = nullptr;
    ConvertSidToStringSidW(owner, &ownerText);
    QCOMPARE(QString::fromWCharArray(ownerText), currentUserSid());
    LocalFree(ownerText);
    QVERIFY(access != nullptr);
    QCOMPARE(access->AceCount, WORD{1});
    ACCESS_ALLOWED_ACE* entry = nullptr;
    QVERIFY(GetAce(access, 0, reinterpret_cast<void**>(&entry)));
    QCOMPARE(entry->Header.AceType, BYTE{ACCESS_ALLOWED_ACE_TYPE});
    wchar_t* entryText = nullptr;
    ConvertSidToStringSidW(&entry->SidStart, &entryText);
    QCOMPARE(QString::fromWCharArray(entryText), currentUserSid());
    LocalFree(entryText);
    LocalFree(descriptor);

    // That look was a connection too: the first takes it before the next viewer comes.
    QTRY_COMPARE(raised.count(), 1);

    WindowClaim second(path);
    QVERIFY(second.handedOver());
    QTRY_COMPARE(raised.count(), 2);
  }

  // A pipe made first under the viewers' name: handed over to only when its owner is this user
  // (which shows the squatter sits exactly where a viewer looks).
  void squattedPipe_data() {
    QTest::addColumn<QString>("owner");
    QTest::addColumn<bool>("handedOver");
    QTest::newRow("owned by this user") << currentUserSid() << true;
    QTest::newRow("owned by the system") << QStringLiteral("S-1-5-18") << false;
    QTest::newRow("owned by everyone") << QStringLiteral("S-1-1-0") << false;
  }
  void squattedPipe() {
    QFETCH(QString, owner);
    QFETCH(bool, handedOver);
    const QString path = m_folder.filePath(QTest::currentDataTag() + QStringLiteral(".html"));
    const Squatter squatter(WindowClaimChannelName(path), owner);
    QVERIFY(squatter.holds());
    const WindowClaim claim(path);
    QCOMPARE(claim.handedOver(), handedOver);
  }

private:
  QTemporaryDir m_folder;
};

QTEST_GUILESS_MAIN(WindowClaimWin32Test)
#include "window_claim_win32_test.moc"
