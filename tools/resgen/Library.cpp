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
    // Templates are projects built from the library just drawn.
    if (options.Only.empty() || options.Only.find("template") != std::string::npos) {
        SetResourceRoot(root);
        WriteTemplates(root);
        SetResourceRoot("");
    }
    return written + languages;
}

} // namespace resgen
