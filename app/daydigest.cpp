#include "app/daydigest.h"

#include "core/files.h"
#include "core/report.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "core/strutils.h"

#include <filesystem>
#include <vector>

namespace {

void AppendItem(std::string& out, const TEventData& item, int memoLimit)
{
    out += SJ(" 件名:") + item.Subject;
    out += SJ("\r\n 時間:");
    out += item.HasTime ? MinutesToStr(item.StartTime) + "-" + MinutesToStr(item.EndTime)
                        : SJ("指定無し");
    out += SJ("\r\n 場所:") + item.Place;
    out += SJ("\r\n メモ:") + TruncateText(item.Memo, memoLimit);
    out += "\r\n\r\n";
}

void Fail(const std::string& path, const std::string& why)
{
    report::Error(SJ("今日の予定を書き込めません!") + "\r\n" + (path.empty() ? "" : path + "\r\n") +
                  why);
}

} // namespace

std::string DigestText(TSchedList& store, days::Day today, const TDigestOptions& options)
{
    std::string text;
    for (days::Day day = today; day <= today + options.DayCount; ++day) {
        std::vector<const TEventData*> items;
        for (const TEventData* item : store.ItemsOn(day))
            if ((item->KindBits & 1) == 0)
                items.push_back(item);
        if (items.empty() && options.SkipEmptyDays)
            continue;
        const days::Ymd date = days::Decode(day);
        text += SJ("【") + std::to_string(date.month) + "/" + std::to_string(date.day) +
            SJ("】の予定") + "\r\n";
        for (const TEventData* item : items)
            AppendItem(text, *item, options.MemoLimit);
        if (items.empty())
            text += SJ(" 予定はありません") + "\r\n";
        text += "\r\n" + std::string(32, '-') + "\r\n";
    }
    return text;
}

std::string DigestPath(const std::string& mailBoxFolder)
{
    // No mailbox is no place to write to (never the working folder).
    if (mailBoxFolder.empty())
        return {};
    if (mailBoxFolder.back() != '/')
        return mailBoxFolder + "/memo.txt";
    return mailBoxFolder + "memo.txt";
}

DigestWrite WriteDigest(const std::string& path, const std::string& text, bool replace)
{
    if (text.empty())
        return DigestWrite::Nothing;
    const std::string folder = files::DirName(path);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_directory(folder.empty() ? "." : folder, ec)) {
        Fail(path, SJ("メールボックスのフォルダがありません"));
        return DigestWrite::Failed;
    }
    std::string contents = text;
    std::string why;
    if (!replace) {
        std::string old;
        bool exists = true;
        if (!files::ReadAll(path, old, &why, &exists) && exists) {
            // What could not be read is never written over.
            Fail(path, why);
            return DigestWrite::Failed;
        }
        if (old.find(text) != std::string::npos)
            return DigestWrite::AlreadyThere;
        contents += old;
    }
    if (!files::WriteAtomic(path, contents, &why)) {
        Fail(path, why);
        return DigestWrite::Failed;
    }
    return DigestWrite::Written;
}
