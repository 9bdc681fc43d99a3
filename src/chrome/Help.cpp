#include "chrome/Help.h"

#include <QUrl>
#include <QtGlobal>
#include <pugixml.hpp>
#include <zstd.h>

#include "platform/Paths.h"

#ifndef VELMORA_VERSION
#error "VELMORA_VERSION comes from the project's version in CMakeLists.txt"
#endif

std::string HelpPagePath(const std::string& page) {
    return ResourceRoot() + "help/" + page;
}

std::string HelpPageUrl(const std::string& page) {
    return QUrl::fromLocalFile(QString::fromStdString(HelpPagePath(page)))
        .toString(QUrl::FullyEncoded)
        .toStdString();
}

std::string ProgramVersion() {
    return VELMORA_VERSION;
}

std::string ProgramLicence() {
    return "GNU General Public License, version 3 or later";
}

std::vector<TLibraryVersion> UsedLibraries() {
    std::vector<TLibraryVersion> v;
    v.push_back({"Qt", qVersion()});
    for (TLibraryVersion& codec : CodecLibraryVersions()) v.push_back(std::move(codec));
    v.push_back({"pugixml",
                 std::to_string(PUGIXML_VERSION / 1000) + "." + std::to_string(PUGIXML_VERSION / 10 % 100)});
    v.push_back({"zstd", ZSTD_versionString()});
    return v;
}
