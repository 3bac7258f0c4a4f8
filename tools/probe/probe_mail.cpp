// kalvero-probe mail [--attachments] FILE: what the mail parser reads from a
// mail (the bytes as the host hands them over, Shift_JIS where the host
// converts). kalvero-probe html FILE: a Shift_JIS HTML file as text.
// Output is UTF-8 with LF line ends.

#include "core/files.h"
#include "core/sjis.h"
#include "mail/html_parser.h"
#include "mail/mail_envelope.h"
#include "tools/probe/probe.h"

#include <cstdio>
#include <string>

namespace {

const char kMailUsage[] = "mail [--attachments] FILE";
const char kHtmlUsage[] = "html FILE";

bool ReadInput(const std::string& path, std::string& data)
{
    std::string error;
    if (files::ReadAll(path, data, &error))
        return true;
    std::fprintf(stderr, "kalvero-probe: cannot read %s: %s\n", path.c_str(), error.c_str());
    return false;
}

void Print(const std::string& sjisText)
{
    std::string text = sjis::ToUtf8(sjisText);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i]);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

int Mail(const std::vector<std::string>& args)
{
    bool attachments = false;
    std::string path;
    for (const std::string& a : args) {
        if (a == "--attachments" && !attachments)
            attachments = true;
        else if (path.empty() && !a.empty() && a[0] != '-')
            path = a;
        else
            return probe::Usage(kMailUsage);
    }
    if (path.empty())
        return probe::Usage(kMailUsage);
    std::string data;
    if (!ReadInput(path, data))
        return 1;
    TMailEnvelope mail;
    mail.SetSource(data);
    mail.SetIncludeAttachments(attachments);
    Print("Subject: " + mail.GetHeader("Subject:") + "\n");
    Print("From: " + mail.GetHeader("From:") + "\n");
    Print("Date-Value: " + std::to_string(mail.GetDateValue()) + "\n");
    Print("Key: " + mail.GetMailKey() + "\n");
    Print("Priority: " + std::to_string(mail.GetPriority()) + "\n");
    Print("Kind: " + std::to_string(mail.ContentKind()) + "\n");
    Print("Text:\n");
    std::string text = mail.GetText();
    if (!text.empty() && text.back() != '\n')
        text += "\n";
    Print(text);
    return 0;
}

int Html(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return probe::Usage(kHtmlUsage);
    std::string data;
    if (!ReadInput(args[0], data))
        return 1;
    THTMLParser parser;
    parser.SetSource(data);
    std::string text = parser.GetText();
    if (!text.empty())
        text += "\n";
    Print(text);
    return 0;
}

const probe::Command mailCommand("mail", kMailUsage, &Mail);
const probe::Command htmlCommand("html", kHtmlUsage, &Html);

} // namespace
