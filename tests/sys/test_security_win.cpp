#include "sys/security.h"

#include "sys/files.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <string>

namespace {

// The account of Wine's user (S-1-5-21-0-0-0-1000) stands for a user who is
// no administrator, unless named as one.
constexpr wchar_t kUzytkownik[] = L"S-1-5-21-0-0-0-1000";

TEST(Zabezpieczenia, OnlyAdminsMayChangeOverDescriptors) {
    struct Przypadek {
        const wchar_t* sddl;
        const wchar_t* takzeAdmin;
        bool tylkoAdmini;
    };
    const Przypadek przypadki[] = {
        // What the journal folder gets.
        {L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", L"", true},
        {L"O:SYD:(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)(A;;FR;;;WD)", L"", true},
        {L"O:BAD:P", L"", true},
        {L"O:BAD:P(D;;FA;;;BU)(A;;FA;;;BA)", L"", true},
        // C:\ProgramData's own, which a folder made in it inherits: Users may
        // add files and folders to it.
        {L"O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)(A;CI;0x116;;;BU)", L"",
         false},
        {L"O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)", L"", false},
        {L"O:BAD:P(A;;FA;;;BA)(A;;0x100004;;;BU)", L"", false},   // append, or add a subfolder
        {L"O:BAD:P(A;;FA;;;BA)(A;;0x100040;;;BU)", L"", false},   // delete what is inside
        {L"O:BAD:P(A;;FA;;;BA)(A;;WD;;;BU)", L"", false},         // change the DACL
        {L"O:BAD:P(A;;FA;;;BA)(A;;WO;;;AU)", L"", false},         // take the ownership
        {L"O:BAD:P(A;;FA;;;BA)(A;;SD;;;BU)", L"", false},         // delete it
        {L"O:BAD:P(A;;FA;;;BA)(A;;FW;;;WD)", L"", false},
        {L"O:BAD:P(A;;FA;;;BA)(A;OICIIO;GW;;;WD)", L"", false},   // only what is made inside
        {L"O:BAD:P(A;;FA;;;BA)(A;OICIIO;GA;;;CO)", L"", false},   // files made there by a user are theirs
        {L"O:S-1-5-21-1-2-3-1001D:P(A;;FA;;;SY)(A;;FA;;;BA)", L"", false},
        {L"O:BUD:P(A;;FA;;;SY)(A;;FA;;;BA)", L"", false},
        {L"O:BA", L"", false},                                    // no DACL: everyone
        // Wine's picture of a folder of its user's (see SystemKeepsFileSecurity).
        {L"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)", L"",
         false},
        {L"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)",
         kUzytkownik, true},
        {L"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1301ff;;;WD)",
         kUzytkownik, false},
        {L"O:S-1-5-7D:(A;OICI;FA;;;SY)(A;OICI;FA;;;AN)(A;OICI;0x1200a9;;;WD)", kUzytkownik, false},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(sys::FromWide(p.sddl));
        const auto sd = sys::SecurityDescriptor::FromSddl(p.sddl);
        ASSERT_TRUE(sd);
        EXPECT_EQ(sys::OnlyAdminsMayChange(*sd, p.takzeAdmin), p.tylkoAdmini);
    }
    EXPECT_FALSE(sys::SecurityDescriptor::FromSddl(L"O:BAD:(A;;FA;;;"));
}

// The target of an installation and the folder it is made in, as Windows
// sets them up and as Wine shows them.
TEST(Zabezpieczenia, InstallFoldersOverDescriptors) {
    using sys::InstallRole;
    constexpr wchar_t kProgramFiles[] =
        L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464D:PAI"
        L"(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
        L"(A;CIIO;GA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)(A;;0x1301bf;;;SY)"
        L"(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)"
        L"(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;S-1-15-2-1)(A;OICIIO;GXGR;;;S-1-15-2-1)";
    // A folder an administrator made there earlier, inheriting all that.
    constexpr wchar_t kWProgramFiles[] =
        L"O:BAD:AI(A;ID;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)(A;ID;FA;;;SY)"
        L"(A;OICIIOID;GA;;;SY)(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)"
        L"(A;OICIIOID;GA;;;CO)";
    // The system drive's root: every signed-in user may add folders, and
    // what they add is theirs.
    constexpr wchar_t kC[] =
        L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"
        L"(A;OICI;0x1200a9;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;LC;;;AU)";
    // A folder an administrator made there, inheriting that.
    constexpr wchar_t kWC[] = L"O:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)"
                              L"(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)";
    constexpr wchar_t kProfil[] = L"O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;S-1-5-21-1-2-3-1001)";
    constexpr wchar_t kWine[] =
        L"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)";
    constexpr wchar_t kWineOtwarty[] =  // chmod o+w
        L"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1301ff;;;WD)";
    struct Przypadek {
        const wchar_t* sddl;
        const wchar_t* takzeAdmin;
        bool cel, rodzic;  // only administrators may change it, as the target, as its parent
    };
    const Przypadek przypadki[] = {
        {L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", L"", true, true},  // what the wizard makes
        {kProgramFiles, L"", true, true},
        {kWProgramFiles, L"", true, true},
        {kC, L"", false, true},
        {kWC, L"", false, false},
        {kProfil, L"", false, false},
        {L"O:BAD:P(A;;FA;;;BA)(A;;0x100040;;;BU)", L"", false, false},   // delete what is inside
        {L"O:BAD:P(A;;FA;;;BA)(A;;0x110000;;;BU)", L"", false, false},   // rename the folder
        {L"O:BAD:P(A;;FA;;;BA)(A;;WD;;;BU)", L"", false, false},
        {L"O:BAD:P(A;;FA;;;BA)(A;;0x100006;;;BU)", L"", false, true},    // add files and folders
        {L"O:BAD:P(A;;FA;;;BA)(A;OICIIO;GA;;;BU)", L"", false, true},    // only what is made inside
        {L"O:BAD:P(A;;FA;;;BA)(A;OICIIO;GA;;;CG)", L"", false, true},    // the creator's group
        {L"O:S-1-5-21-1-2-3-1001D:P(A;;FA;;;BA)", L"", false, false},
        {L"O:BA", L"", false, false},
        {kWine, L"", false, false},
        {kWine, kUzytkownik, true, true},
        {kWineOtwarty, kUzytkownik, false, false},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(sys::FromWide(p.sddl));
        const auto sd = sys::SecurityDescriptor::FromSddl(p.sddl);
        ASSERT_TRUE(sd);
        EXPECT_EQ(sys::OnlyAdminsMayChangeInstalled(*sd, InstallRole::Target, p.takzeAdmin), p.cel);
        EXPECT_EQ(sys::OnlyAdminsMayChangeInstalled(*sd, InstallRole::Parent, p.takzeAdmin), p.rodzic);
    }
    // The journal's own test would ask about every default target.
    EXPECT_FALSE(sys::OnlyAdminsMayChange(*sys::SecurityDescriptor::FromSddl(kProgramFiles)));
}

// Round trips on the disk, as the system keeps them (see
// SystemKeepsFileSecurity for Wine's).
TEST(Zabezpieczenia, AdminFolderMadeTakenBackAndLinksLeftAlone) {
    pomocnicy::KatalogTymczasowy tmp{"velt zabezpieczenia"};
    const std::string katalog = tmp / "dzienniki";
    const std::string plik = katalog + "\\instal.dzn";
    EXPECT_EQ(sys::FolderAccess(katalog), sys::Access::Missing);
    ASSERT_TRUE(sys::CreateAdminFolder(katalog));
    EXPECT_EQ(sys::FolderAccess(katalog), sys::Access::AdminsOnly);
    ASSERT_TRUE(sys::WriteWholeFile(plik, "x"));
    EXPECT_EQ(sys::FileAccess(plik), sys::Access::AdminsOnly) << "a file made inside gets the folder's DACL";
    EXPECT_EQ(sys::FileAccess(katalog), sys::Access::Missing);
    EXPECT_EQ(sys::FolderAccess(plik), sys::Access::Missing);

    // Everyone let in, as a folder a user made would have it.
    for (const std::string& wpis : {katalog, plik}) ASSERT_TRUE(pomocnicy::OtworzDlaWszystkich(wpis));
    EXPECT_EQ(sys::FolderAccess(katalog), sys::Access::Others);
    EXPECT_EQ(sys::FileAccess(plik), sys::Access::Others);
    EXPECT_TRUE(sys::ProtectFolder(katalog));
    EXPECT_EQ(sys::FolderAccess(katalog), sys::Access::AdminsOnly);
    EXPECT_EQ(sys::FileAccess(plik), sys::Access::Others) << "what is inside keeps its own";
    EXPECT_EQ(sys::ProtectFolder(plik).error, static_cast<std::uint32_t>(ERROR_DIRECTORY));

    // "petla\\wstecz", made beside this program by the build, is a symbolic
    // link to its own folder: taking it back would take back what it points to.
    const std::string link = "petla\\wstecz";
    const auto a = sys::Attributes(link);
    if (!a || !(*a & FILE_ATTRIBUTE_REPARSE_POINT)) GTEST_SKIP() << "no link at " << link;
    EXPECT_EQ(sys::FolderAccess(link), sys::Access::Others);
    EXPECT_EQ(sys::ProtectFolder(link).error, static_cast<std::uint32_t>(ERROR_CANT_ACCESS_FILE));
}

}  // namespace
