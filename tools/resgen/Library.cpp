#include "Library.h"
#include "Templates.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <time.h>

#include "Output.h"

namespace resgen {

TCatalogue Catalogue() {
    TCatalogue items;
    // Slow items first so the worker threads finish together.
    AddPhotos(items);
    AddBackgrounds(items);
    AddFrames(items);
    AddTextures(items);
    AddMasks(items);
    AddCliparts(items);
    AddUi(items);
    AddIcons(items);
    AddButtons(items);
    return items;
}

void WritePictures(const std::string& root, const std::vector<TPicture>& pictures) {
    for (const TPicture& p : pictures) {
        const std::string path = root + "/" + p.Path;
        switch (p.Format) {
        case TFormat::Jpeg: WriteJpeg(path, p.Image, p.Quality); break;
        case TFormat::Png: WritePng(path, p.Image); break;
        case TFormat::Gif: WriteGif(path, p.Image); break;
        case TFormat::Svg:
            WriteText(path, p.Text);
            break;
        case TFormat::Bmp:
            WriteBmp(path, p.Image);
            break;
        }
    }
}

namespace {
// CPU time of the calling thread (the machine may be shared, wall time lies).
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

int CopyLanguages(const std::string& source, const std::string& root) {
    if (source.empty()) return 0;
    QDir src(QString::fromStdString(source));
    const QString target = QString::fromStdString(root) + "/Languages";
    if (!QDir().mkpath(target)) throw std::runtime_error("cannot create " + target.toStdString());
    int count = 0;
    for (const QFileInfo& fi : src.entryInfoList({"*.ini"}, QDir::Files, QDir::Name)) {
        const QString dest = target + "/" + fi.fileName();
        QFile::remove(dest);
        if (!QFile::copy(fi.absoluteFilePath(), dest))
            throw std::runtime_error("cannot copy " + fi.absoluteFilePath().toStdString());
        ++count;
    }
    return count;
}
std::string ReadText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll().toStdString();
}

void WriteText(const QString& path, const std::string& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(text.data(), qint64(text.size())) != qint64(text.size()))
        throw std::runtime_error("cannot write " + path.toStdString());
}

std::string Escaped(const std::string& s) {
    return QString::fromStdString(s).toHtmlEscaped().toStdString();
}

// The user guide: every page listed in contents.txt is wrapped in the guide's
// header and side bar (the page being read marked, a link to the next one at
// its foot); the style sheet and the screenshots are copied as they are.
int WriteHelp(const std::string& source, const std::string& root) {
    if (source.empty()) return 0;
    const QString src = QString::fromStdString(source), target = QString::fromStdString(root) + "/help";
    if (!QDir().mkpath(target + "/images")) throw std::runtime_error("cannot create " + target.toStdString());
    struct TEntry {
        std::string File, Title; // no file: a group heading
    };
    std::vector<TEntry> entries;
    for (const QString& line : QString::fromStdString(ReadText(src + "/contents.txt")).split('\n')) {
        if (line.startsWith("## "))
            entries.push_back({"", line.mid(3).trimmed().toStdString()});
        else if (!line.trimmed().isEmpty() && !line.startsWith('#')) {
            const QStringList parts = line.split('\t');
            if (parts.size() != 2)
                throw std::runtime_error("help/contents.txt: bad line " + line.toStdString());
            entries.push_back({parts[0].trimmed().toStdString(), parts[1].trimmed().toStdString()});
        }
    }
    std::vector<const TEntry*> pages;
    for (const TEntry& e : entries)
        if (!e.File.empty()) pages.push_back(&e);
    int count = 0;
    for (size_t i = 0; i < pages.size(); ++i) {
        const TEntry& page = *pages[i];
        std::string nav = "<nav><ol>\n";
        for (const TEntry& e : entries) {
            if (e.File.empty()) {
                nav += "</ol><h2>" + Escaped(e.Title) + "</h2><ol>\n";
                continue;
            }
            nav += "<li><a href=\"" + e.File + "\"" + (&e == &page ? " class=\"here\"" : "") + ">" +
                   Escaped(e.Title) + "</a></li>\n";
        }
        nav += "</ol></nav>\n";
        std::string next;
        if (i + 1 < pages.size())
            next = "<p class=\"next\">Next: <a href=\"" + pages[i + 1]->File + "\">" +
                   Escaped(pages[i + 1]->Title) + "</a></p>\n";
        const std::string html =
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
            Escaped(page.Title) +
            " — Velmora user guide</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n"
            "</head>\n<body>\n<header><a href=\"index.html\"><img src=\"../resource/logo@2x.png\" "
            "alt=\"Velmora\"></a><span>User guide</span></header>\n<div class=\"layout\">\n" +
            nav + "<main>\n" + ReadText(src + "/" + QString::fromStdString(page.File)) + next +
            "</main>\n</div>\n</body>\n</html>\n";
        WriteText(target + "/" + QString::fromStdString(page.File), html);
        ++count;
    }
    auto copy = [&](const QString& from, const QString& to) {
        QFile::remove(to);
        if (!QFile::copy(from, to)) throw std::runtime_error("cannot copy " + from.toStdString());
        ++count;
    };
    copy(src + "/style.css", target + "/style.css");
    for (const QFileInfo& fi : QDir(src + "/images").entryInfoList(QDir::Files, QDir::Name))
        copy(fi.absoluteFilePath(), target + "/images/" + fi.fileName());
    return count;
}

} // namespace

int GenerateLibrary(const std::string& root, const TGenerateOptions& options) {
    TCatalogue items = Catalogue();
    if (!options.Only.empty())
        std::erase_if(items, [&](const TItem& item) { return item.Path.find(options.Only) == std::string::npos; });
    std::atomic<size_t> next{0};
    std::atomic<int> written{0};
    std::mutex failMutex;
    std::string failure;
    auto worker = [&] {
        for (;;) {
            const size_t i = next++;
            if (i >= items.size()) return;
            {
                std::lock_guard lock(failMutex);
                if (!failure.empty()) return;
            }
            try {
                const double t0 = ThreadSeconds();
                const std::vector<TPicture> pictures = items[i].Make();
                const double t1 = ThreadSeconds();
                WritePictures(root, pictures);
                written += int(pictures.size());
                if (options.Verbose)
                    std::fprintf(stderr, "%6.0f ms draw %5.0f ms write  %s\n", (t1 - t0) * 1000,
                                 (ThreadSeconds() - t1) * 1000, items[i].Path.c_str());
            } catch (const std::exception& e) {
                std::lock_guard lock(failMutex);
                if (failure.empty()) failure = items[i].Path + ": " + e.what();
            }
        }
    };
    const int threads = std::max(1, options.Threads);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
    if (!failure.empty()) throw std::runtime_error(failure);

    // User cliparts are added by the program into this folder.
    if (!QDir().mkpath(QString::fromStdString(root) + "/Cliparts/Customize"))
        throw std::runtime_error("cannot create Cliparts/Customize");
    const int languages = CopyLanguages(options.LanguagesSource, root);
    const int help = options.Only.empty() || options.Only.find("help") != std::string::npos
                         ? WriteHelp(options.HelpSource, root)
                         : 0;
    // Templates are projects built from the library just drawn.
    if (options.Only.empty() || options.Only.find("template") != std::string::npos) {
        SetResourceRoot(root);
        WriteTemplates(root);
        SetResourceRoot("");
    }
    return written + languages + help;
}

} // namespace resgen
