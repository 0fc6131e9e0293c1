#include "BackupNames.h"

namespace sveltor {

std::string DollarNameOf(const std::string& name, const TCodePage& codePage) {
    std::string result = "$";
    std::size_t cut = 1;
    if (!name.empty() && static_cast<unsigned char>(name[0]) >= 0x80) {
        result = "$$";
        cut = 2;
        if (codePage.Kind() == TCodePage::TKind::Utf8)
            cut = codePage.CharLength(name.data(), 0, name.size());
    }
    if (name.size() > cut)
        result.append(name, cut, std::string::npos);
    return result;
}

std::string TBackupNames::SetupBackupNames(TSplitPath& parts) {
    PathParts = &parts;
    DollarName = DollarNameOf(parts.GetName(), parts.CodePage());
    NameWithExt = parts.GetName();
    OrigExt = parts.GetExtension();
    NameWithExt += OrigExt;
    BakExt = ".BAK";
    return ApplyOption1();
}

std::string TBackupNames::ApplyOption1() {
    return Apply(NameWithExt, BakExt);
}

std::string TBackupNames::ApplyOption2() {
    return Apply(DollarName, OrigExt);
}

std::string TBackupNames::Apply(const std::string& name, const std::string& extension) {
    PathParts->SetName(name.c_str());
    PathParts->SetExtension(extension.c_str());
    return std::string(PathParts->GetName()) + PathParts->GetExtension();
}

} // namespace sveltor
