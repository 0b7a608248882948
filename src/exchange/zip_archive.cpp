#include "exchange/zip_archive.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace zedora {

namespace {

struct ProgressState {
    const PackProgress* progress = nullptr;
    bool cancelled = false;
};

void onProgress(zip_t*, double fraction, void* ud)
{
    auto* state = static_cast<ProgressState*>(ud);
    if (state->progress && *state->progress && !(*state->progress)(fraction))
        state->cancelled = true;
}

int onCancel(zip_t*, void* ud)
{
    return static_cast<ProgressState*>(ud)->cancelled ? 1 : 0;
}

QString scratchNameFor(const QString& zipPath)
{
    const QFileInfo fi(zipPath);
    return fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".part")
         + QString::number(::getpid());
}

} // namespace

PackResult packFiles(const QString& zipPath, const std::vector<PackEntry>& entries,
                     const PackProgress& progress)
{
    const QString scratch = scratchNameFor(zipPath);
    QFile::remove(scratch);
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(scratch).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!za)
        return PackResult::Failed;
    auto fail = [&](PackResult r) {
        zip_discard(za);
        QFile::remove(scratch);
        return r;
    };
    for (const PackEntry& e : entries) {
        zip_source_t* src = zip_source_file_create(QFile::encodeName(e.source).constData(), 0, -1, nullptr);
        if (!src)
            return fail(PackResult::Failed);
        const QByteArray name = e.name.toUtf8();
        if (zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(src);
            return fail(PackResult::Failed);
        }
    }
    ProgressState state{&progress, false};
    zip_register_progress_callback_with_state(za, 0.01, onProgress, nullptr, &state);
    zip_register_cancel_callback_with_state(za, onCancel, nullptr, &state);
    if (zip_close(za) != 0) {
        // zip_close leaves the archive open on failure.
        return fail(state.cancelled ? PackResult::Cancelled : PackResult::Failed);
    }
    if (state.cancelled) {
        QFile::remove(scratch);
        return PackResult::Cancelled;
    }
    // rename() replaces an existing file in one step: readers see the old
    // zip or the new one.
    if (::rename(QFile::encodeName(scratch).constData(), QFile::encodeName(zipPath).constData()) != 0) {
        QFile::remove(scratch);
        return PackResult::Failed;
    }
    return PackResult::Ok;
}

struct ZipReader::Handle {
    zip_t* za = nullptr;
    ~Handle()
    {
        if (za)
            zip_discard(za);
    }
};

ZipReader::ZipReader() = default;
ZipReader::~ZipReader() = default;

bool ZipReader::open(const QString& zipPath)
{
    entries_.clear();
    handle_ = std::make_unique<Handle>();
    int error = 0;
    handle_->za = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!handle_->za)
        return false;
    const zip_int64_t n = zip_get_num_entries(handle_->za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(handle_->za, zip_uint64_t(i), ZIP_FL_ENC_GUESS, &st) != 0)
            return false;
        ZipEntryInfo e;
        e.index = int(i);
        e.name = QString::fromUtf8(st.name ? st.name : "");
        e.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        e.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
        e.directory = e.name.endsWith(QLatin1Char('/'));
        e.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(handle_->za, zip_uint64_t(i), 0, &opsys, &attributes) == 0
            && opsys == ZIP_OPSYS_UNIX) {
            const mode_t mode = mode_t(attributes >> 16);
            e.symlink = S_ISLNK(mode);
            if (S_ISDIR(mode))
                e.directory = true;
        }
        entries_.push_back(e);
    }
    return true;
}

std::optional<QByteArray> ZipReader::read(int index, quint64 maxBytes)
{
    if (!handle_ || !handle_->za || index < 0 || index >= int(entries_.size()))
        return std::nullopt;
    const ZipEntryInfo& e = entries_[size_t(index)];
    if (e.size > maxBytes)
        return std::nullopt;
    zip_file_t* f = zip_fopen_index(handle_->za, zip_uint64_t(index), 0);
    if (!f)
        return std::nullopt;
    QByteArray data;
    data.resize(qsizetype(e.size));
    zip_int64_t got = 0;
    while (quint64(got) < e.size) {
        const zip_int64_t n = zip_fread(f, data.data() + got, e.size - quint64(got));
        if (n <= 0)
            break;
        got += n;
    }
    char extra;
    const bool more = zip_fread(f, &extra, 1) > 0;
    const bool ok = quint64(got) == e.size && !more && zip_fclose(f) == 0;
    if (!ok)
        return std::nullopt;
    return data;
}

bool ZipReader::extract(int index, const QString& destination)
{
    if (!handle_ || !handle_->za || index < 0 || index >= int(entries_.size()))
        return false;
    const ZipEntryInfo& e = entries_[size_t(index)];
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    zip_file_t* f = zip_fopen_index(handle_->za, zip_uint64_t(index), 0);
    if (!f)
        return false;
    quint64 total = 0;
    bool ok = true;
    char buffer[1 << 16];
    for (;;) {
        const zip_int64_t n = zip_fread(f, buffer, sizeof buffer);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        total += quint64(n);
        // Never write more than the entry declared, whatever the stream holds.
        if (total > e.size || out.write(buffer, n) != n) {
            ok = false;
            break;
        }
    }
    if (zip_fclose(f) != 0)
        ok = false;
    ok = ok && total == e.size && out.flush();
    out.close();
    if (!ok)
        QFile::remove(destination);
    return ok;
}

} // namespace zedora
