#include "app/settings/consts.h"

#include "core/sjis.h"

namespace strconst {

namespace {

Build& BuildSlot()
{
    static Build build = Build::Plugin;
    return build;
}

} // namespace

void SetBuild(Build build)
{
    BuildSlot() = build;
}

Build CurrentBuild()
{
    return BuildSlot();
}

const std::string& Version()
{
    static const std::string text(kVersion);
    return text;
}

const std::string& ProductName()
{
    return CurrentBuild() == Build::Program ? ProgramProductName() : PluginProductName();
}

const std::string& PluginProductName()
{
    return SJ("Miradelプラグイン");
}

const std::string& ProgramProductName()
{
    return SJ("Miradel-アプリ版");
}

const std::string& VendorName()
{
    static const std::string text = "Kalvero developers";
    return text;
}

const std::string& Description()
{
    return SJ("Becky2 で簡単なスケジュール管理ができるプラグインです。");
}

const std::string& AboutLine()
{
    static const std::string text = " (Kalvero personal scheduler)";
    return text;
}

const std::string& DateFormat()
{
    static const std::string text = "yyyy\"/\"mm\"/\"dd";
    return text;
}

const std::string& SubjectHeader()
{
    static const std::string text = "Subject:";
    return text;
}

const std::string& BlockStart()
{
    static const std::string text = "\r\n--Kalvero->>>!";
    return text;
}

const std::string& BlockEnd()
{
    static const std::string text = "!<<<--Kalvero-";
    return text;
}

const std::string& MailtoPrefix()
{
    static const std::string text = "mailto:";
    return text;
}

const std::string& FileWriteError()
{
    return SJ("ﾌｧｲﾙに書込めませんでした\n処理をｽｷｯﾌﾟします");
}

const std::string& ShownDatesOnly()
{
    return SJ("日付は 1900/01/01 から 9999/12/31 までの範囲で指定してください");
}

const std::string& NotRegistered()
{
    static const std::string text = SJ("この予定は登録できません。") + "\r\n" + ShownDatesOnly();
    return text;
}

const std::string& WrongPassword()
{
    return SJ("パスワードが違います");
}

const std::string& EnterPassword()
{
    return SJ("パスワードを入力して下さい");
}

const std::string& RemovePassword()
{
    return SJ("パスワードを解除していいですか？");
}

const std::string& ActiveSignal()
{
    static const std::string text = "ACTIVE";
    return text;
}

} // namespace strconst
