#include "testhost.h"

#include "hostconv.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

THost* instance = nullptr;

// The host's own menu commands besides those of plugin/hostapi.h.
constexpr std::uint32_t kIdReceive = 1001;
constexpr std::uint32_t kIdPluginSetup = 1002;
constexpr std::uint32_t kIdPluginInfo = 1003;
constexpr std::uint32_t kIdOpen = 1004;
constexpr std::uint32_t kIdForward = 1005;
constexpr std::uint32_t kIdExit = 57665;
constexpr std::uint32_t kIdSelectAll = 57642;

const char* const kIdProperty = "bkId";

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// A mail's identifier as the host gives it out: its folder's, "?" and its
// key in capitals.
std::string MailIdOf(const std::string& folderId, const std::string& key)
{
    return folderId + "?" + Upper(key);
}

std::string CrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

// A header's raw value (folded lines joined), empty when none.
std::string HeaderValue(const std::string& source, const std::string& name)
{
    const std::string wanted = Lower(name) + ":";
    std::size_t pos = 0;
    while (pos < source.size()) {
        std::size_t end = source.find("\r\n", pos);
        if (end == std::string::npos)
            end = source.size();
        if (end == pos)
            break; // the blank line ends the header
        if (Lower(source.substr(pos, wanted.size())) == wanted) {
            std::string value = source.substr(pos + wanted.size(), end - pos - wanted.size());
            // Continuation lines.
            while (end + 2 < source.size() && (source[end + 2] == ' ' || source[end + 2] == '\t')) {
                const std::size_t next = source.find("\r\n", end + 2);
                const std::size_t stop = next == std::string::npos ? source.size() : next;
                value += source.substr(end + 2, stop - end - 2);
                end = stop;
            }
            const std::size_t first = value.find_first_not_of(" \t");
            const std::size_t last = value.find_last_not_of(" \t");
            return first == std::string::npos ? std::string()
                                              : value.substr(first, last - first + 1);
        }
        pos = end + 2;
    }
    return {};
}

// A mail as the view shows it (and a person copies it), in Shift_JIS: a body
// of one part decoded by its transfer encoding and charset, as mail clients do.
std::string ReadableMail(const std::string& source)
{
    const std::size_t blank = source.find("\r\n\r\n");
    if (blank == std::string::npos)
        return hostconv::Iso2022JpToSjis(source);
    QByteArray body = QByteArray::fromStdString(source.substr(blank + 4));
    const std::string encoding = Lower(HeaderValue(source, "Content-Transfer-Encoding"));
    if (encoding == "base64")
        body = QByteArray::fromBase64(body);
    else if (encoding == "quoted-printable")
        body = QByteArray::fromPercentEncoding(body.replace("=\r\n", ""), '=');
    std::string type = Lower(HeaderValue(source, "Content-Type"));
    type.erase(std::remove(type.begin(), type.end(), '"'), type.end());
    const std::size_t at = type.find("charset=");
    const std::string charset = at == std::string::npos
        ? "iso-2022-jp"
        : type.substr(at + 8, type.find_first_of("; \t", at + 8) - at - 8);
    return hostconv::DecodeHeader(hostconv::Iso2022JpToSjis(source.substr(0, blank + 4))) +
        hostconv::ToSjis(body.toStdString(), charset);
}

// A field of the index: no separator and no line end inside.
std::string IndexField(std::string text)
{
    for (char& c : text) {
        if (c == '\x01' || c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

std::uint32_t IdOf(const QAction* action)
{
    return action->property(kIdProperty).toUInt();
}

} // namespace

QWidget* TopLevel(const QString& name)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name)
            return widget;
    }
    return nullptr;
}

THost* THost::Instance()
{
    return instance;
}

THost::THost(const std::string& dataFolder) : dataFolder_(WithSlash(dataFolder))
{
    instance = this;
    folders_[Inbox()].displayName = "受信箱";
    folders_[Outbox()].displayName = "送信箱";
    folders_[Archive()].displayName = "保存箱";
    for (const auto& [id, folder] : folders_) {
        QDir().mkpath(QFile::decodeName((dataFolder_ + id).c_str()));
        WriteIndex(id);
    }
    BuildWindow();
    ShowFolder(Inbox());
}

THost::~THost()
{
    UnloadPlugin();
    delete window_.data();
    if (instance == this)
        instance = nullptr;
}

// ---------------------------------------------------------------------------
// The window

QAction* THost::NewItem(QWidget* menu, std::uint32_t id, const QString& text)
{
    auto* action = new QAction(text, menu);
    action->setProperty(kIdProperty, id);
    connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
    return action;
}

QAction* THost::AddItem(QWidget* menu, std::uint32_t id, const QString& text)
{
    QAction* action = NewItem(menu, id, text);
    menu->addAction(action);
    return action;
}

void THost::BuildWindow()
{
    window_ = new QMainWindow;
    window_->setObjectName(QStringLiteral("HostWindow"));
    window_->setWindowTitle(QStringLiteral("Kalvero テストホスト"));
    QMenuBar* bar = window_->menuBar();
    Register(bar);
    const char* const titles[] = { "ファイル(&F)",   "編集(&E)",   "表示(&V)",
                                   "メッセージ(&M)", "ツール(&T)", "ヘルプ(&H)" };
    std::vector<QMenu*> pullDowns;
    for (const char* title : titles) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(title));
        Register(menu);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            UpdateEditStates();
            ApplyUsability(menu);
        });
        pullDowns.push_back(menu);
    }
    AddItem(pullDowns[0], kIdReceive, QStringLiteral("受信(&R)"));
    pullDowns[0]->addSeparator();
    AddItem(pullDowns[0], kIdExit, QStringLiteral("終了(&X)"));
    AddItem(pullDowns[1], BK_ID_COPY, QStringLiteral("コピー(&C)"));
    AddItem(pullDowns[1], kIdSelectAll, QStringLiteral("すべて選択(&A)"));
    AddItem(pullDowns[2], kIdOpen, QStringLiteral("メールを開く(&O)"));
    AddItem(pullDowns[3], BK_ID_REPLY, QStringLiteral("返信(&R)"));
    AddItem(pullDowns[3], kIdForward, QStringLiteral("転送(&F)"));
    AddItem(pullDowns[4], kIdPluginSetup, QStringLiteral("プラグインの設定(&P)..."));
    AddItem(pullDowns[5], kIdPluginInfo, QStringLiteral("プラグインの情報(&A)..."));

    QToolBar* tools = window_->addToolBar(QStringLiteral("ツール"));
    tools->setObjectName(QStringLiteral("HostTools"));
    QAction* receive = tools->addAction(QStringLiteral("受信"));
    receive->setObjectName(QStringLiteral("ReceiveButton"));
    connect(receive, &QAction::triggered, this, [this] { Dispatch(kIdReceive); });

    auto* split = new QSplitter(Qt::Horizontal, window_);
    folderList_ = new QListWidget(split);
    folderList_->setObjectName(QStringLiteral("FolderList"));
    for (const auto& [id, folder] : folders_) {
        auto* item = new QListWidgetItem(QString::fromUtf8(folder.displayName.c_str()));
        item->setData(Qt::UserRole, QString::fromStdString(id));
        folderList_->addItem(item);
    }
    connect(folderList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const std::string id = item->data(Qt::UserRole).toString().toStdString();
        ShowFolder(id);
        if (plugin_.OnOpenFolder)
            plugin_.OnOpenFolder(id.c_str());
    });
    auto* right = new QSplitter(Qt::Vertical, split);
    mailList_ = new QTreeWidget(right);
    mailList_->setObjectName(QStringLiteral("MailList"));
    mailList_->setHeaderLabels(
        { QStringLiteral("件名"), QStringLiteral("差出人"), QStringLiteral("日時") });
    mailList_->setRootIsDecorated(false);
    mailList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mailList_, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { OnContextMenu(BK_MENU_LIST, mailList_, pos); });
    connect(mailList_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item || selectingForPlugin_)
            return;
        currentMail_ = item->data(0, Qt::UserRole).toString().toStdString();
        ShowMail();
        if (plugin_.OnOpenMail)
            plugin_.OnOpenMail(currentMail_.c_str());
    });
    view_ = new QPlainTextEdit(right);
    view_->setObjectName(QStringLiteral("MailView"));
    view_->setReadOnly(true);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QPlainTextEdit::customContextMenuRequested, this,
            [this](const QPoint& pos) { OnContextMenu(BK_MENU_VIEW, view_, pos); });
    right->setSizes({ 140, 320 });
    split->setSizes({ 160, 600 });
    window_->setCentralWidget(split);
    window_->resize(760, 520);
}

void THost::ShowFolder(const std::string& folderId)
{
    const auto found = folders_.find(folderId);
    if (found == folders_.end() || !mailList_)
        return;
    currentFolder = folderId;
    const QSignalBlocker block(mailList_);
    mailList_->clear();
    for (const Mail& mail : found->second.mails) {
        auto* item = new QTreeWidgetItem(mailList_);
        item->setText(
            0, hostconv::FromSjis(hostconv::DecodeHeader(HeaderValue(mail.source, "Subject"))));
        item->setText(1,
                      hostconv::FromSjis(hostconv::DecodeHeader(HeaderValue(mail.source, "From"))));
        item->setText(2, QString::fromStdString(HeaderValue(mail.source, "Date")));
        item->setData(0, Qt::UserRole, QString::fromStdString(MailIdOf(folderId, mail.key)));
    }
    for (int row = 0; row < folderList_->count(); ++row) {
        if (folderList_->item(row)->data(Qt::UserRole).toString().toStdString() == folderId)
            folderList_->setCurrentRow(row);
    }
}

void THost::ShowMail()
{
    const Mail* mail = CurrentMailData();
    view_->setPlainText(mail ? hostconv::FromSjis(ReadableMail(mail->source)) : QString());
}

void THost::OnContextMenu(int menuType, QWidget* from, const QPoint& pos)
{
    QMenu* menu = ContextMenu(menuType);
    menu->exec(from->mapToGlobal(pos));
}

// ---------------------------------------------------------------------------
// Folders and mails

const THost::Mail* THost::FindMail(const std::string& mailId, std::string* canonical) const
{
    const std::size_t mark = mailId.rfind('?');
    if (mark == std::string::npos)
        return nullptr;
    const std::string folderId = Lower(mailId.substr(0, mark));
    const std::string key = Lower(mailId.substr(mark + 1));
    for (const auto& [id, folder] : folders_) {
        if (Lower(id) != folderId)
            continue;
        for (const Mail& mail : folder.mails) {
            if (mail.key == key) {
                if (canonical)
                    *canonical = MailIdOf(id, mail.key);
                return &mail;
            }
        }
    }
    return nullptr;
}

const THost::Mail* THost::CurrentMailData() const
{
    return FindMail(currentMail_);
}

std::string THost::AddMail(const std::string& folderId, const std::string& source)
{
    Folder& folder = folders_[folderId];
    if (folder.displayName.empty())
        folder.displayName = folderId;
    char key[16];
    std::snprintf(key, sizeof key, "%08x", folder.nextKey++);
    folder.mails.push_back({ key, CrLf(source) });
    WriteIndex(folderId);
    if (currentFolder == folderId)
        ShowFolder(folderId);
    return MailIdOf(folderId, key);
}

std::vector<std::string> THost::MailsIn(const std::string& folderId) const
{
    std::vector<std::string> ids;
    const auto found = folders_.find(folderId);
    if (found != folders_.end()) {
        for (const Mail& mail : found->second.mails)
            ids.push_back(MailIdOf(folderId, mail.key));
    }
    return ids;
}

void THost::WriteIndex(const std::string& folderId) const
{
    const auto found = folders_.find(folderId);
    if (found == folders_.end())
        return;
    std::string index;
    std::size_t offset = 0;
    for (const Mail& mail : found->second.mails) {
        const QDateTime date = QDateTime::fromString(
            QString::fromStdString(HeaderValue(mail.source, "Date")), Qt::RFC2822Date);
        char dateHex[16] = "0";
        if (date.isValid())
            std::snprintf(dateHex, sizeof dateHex, "%X",
                          static_cast<std::uint32_t>(date.toSecsSinceEpoch()));
        const std::vector<std::string> fields = {
            std::to_string(offset),
            mail.key,
            std::to_string(mail.source.size()),
            "0",
            IndexField(hostconv::DecodeHeader(HeaderValue(mail.source, "Subject"))),
            IndexField(hostconv::DecodeHeader(HeaderValue(mail.source, "From"))),
            IndexField(HeaderValue(mail.source, "Message-ID")),
            IndexField(HeaderValue(mail.source, "In-Reply-To")),
            dateHex,
            IndexField(HeaderValue(mail.source, "To")),
            "0",
            "0",
            "0",
            "",
            "",
            "",
            // The last field is never empty: a separator at the end of a
            // line opens no field.
            "0",
        };
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i)
                index += '\x01';
            index += fields[i];
        }
        index += "\r\n";
        offset += mail.source.size();
    }
    std::ofstream out(dataFolder_ + folderId + "folder.idx", std::ios::binary | std::ios::trunc);
    out << index;
}

std::vector<std::string> THost::DropMails(const std::vector<std::string>& mailIds,
                                          const std::string& targetFolder, int dropEffect)
{
    std::vector<std::string> moved;
    std::string sources;
    for (const std::string& id : mailIds) {
        std::string canonical;
        const Mail* mail = FindMail(id, &canonical);
        if (!mail)
            continue;
        const std::string source = mail->source;
        const std::string from = canonical.substr(0, canonical.rfind('?'));
        const std::string key = mail->key;
        moved.push_back(AddMail(targetFolder, source));
        if (dropEffect != BK_DROP_COPY) {
            auto& mails = folders_[from].mails;
            mails.erase(std::remove_if(mails.begin(), mails.end(),
                                       [&](const Mail& m) { return m.key == key; }),
                        mails.end());
            WriteIndex(from);
        }
        if (!sources.empty())
            sources += '\n';
        sources += canonical;
    }
    ShowFolder(currentFolder);
    if (plugin_.OnDragDrop)
        plugin_.OnDragDrop(targetFolder.c_str(), sources.c_str(),
                           static_cast<int32_t>(moved.size()), dropEffect);
    return moved;
}

std::vector<std::string> THost::Receive(const std::vector<std::string>& sources)
{
    std::vector<std::string> ids;
    for (const std::string& source : sources) {
        const std::string id = AddMail(Inbox(), source);
        ids.push_back(id);
        if (plugin_.OnRetrieve) {
            const std::string stored = FindMail(id)->source;
            plugin_.OnRetrieve(stored.c_str(), id.c_str());
        }
    }
    if (plugin_.OnFinishRetrieve)
        plugin_.OnFinishRetrieve(static_cast<int32_t>(ids.size()));
    return ids;
}

void THost::SetPendingFolder(const std::string& emlFolder)
{
    pendingFolder_ = emlFolder;
}

void THost::ReceivePending()
{
    if (pendingFolder_.empty())
        return;
    QDir dir(QFile::decodeName(pendingFolder_.c_str()));
    std::vector<std::string> sources;
    for (const QString& name :
         dir.entryList({ QStringLiteral("*.eml") }, QDir::Files, QDir::Name)) {
        const std::string file = QFile::encodeName(dir.filePath(name)).toStdString();
        if (std::find(received_.begin(), received_.end(), file) != received_.end())
            continue;
        QFile in(dir.filePath(name));
        if (!in.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = in.readAll();
        sources.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        received_.push_back(file);
    }
    Receive(sources);
}

bool THost::SelectMail(const std::string& mailId)
{
    std::string canonical;
    if (!FindMail(mailId, &canonical))
        return false;
    ShowFolder(canonical.substr(0, canonical.rfind('?')));
    for (int row = 0; row < mailList_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = mailList_->topLevelItem(row);
        if (item->data(0, Qt::UserRole).toString().toStdString() == canonical) {
            const QSignalBlocker block(mailList_);
            mailList_->setCurrentItem(item);
        }
    }
    currentMail_ = canonical;
    ShowMail();
    if (plugin_.OnOpenMail && !selectingForPlugin_)
        plugin_.OnOpenMail(currentMail_.c_str());
    return true;
}

std::string THost::SelectionText() const
{
    if (selection_)
        return *selection_;
    QString text = view_->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return CrLf(hostconv::ToSjis(text));
}

// ---------------------------------------------------------------------------
// The plug-in

bool THost::LoadPlugin(const std::string& path, std::string* error)
{
    UnloadPlugin();
    library_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        if (error)
            *error = ::dlerror();
        return false;
    }
    auto bind = [this](auto& entry, const char* name) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(::dlsym(library_, name));
    };
    bind(plugin_.OnStart, "BKC_OnStart");
    bind(plugin_.OnExit, "BKC_OnExit");
    bind(plugin_.OnMenuInit, "BKC_OnMenuInit");
    bind(plugin_.OnOpenFolder, "BKC_OnOpenFolder");
    bind(plugin_.OnOpenMail, "BKC_OnOpenMail");
    bind(plugin_.OnEveryMinute, "BKC_OnEveryMinute");
    bind(plugin_.OnOpenCompose, "BKC_OnOpenCompose");
    bind(plugin_.OnOutgoing, "BKC_OnOutgoing");
    bind(plugin_.OnKeyDispatch, "BKC_OnKeyDispatch");
    bind(plugin_.OnRetrieve, "BKC_OnRetrieve");
    bind(plugin_.OnSend, "BKC_OnSend");
    bind(plugin_.OnFinishRetrieve, "BKC_OnFinishRetrieve");
    bind(plugin_.OnPlugInSetup, "BKC_OnPlugInSetup");
    bind(plugin_.OnPlugInInfo, "BKC_OnPlugInInfo");
    bind(plugin_.OnDragDrop, "BKC_OnDragDrop");
    if (plugin_.OnStart)
        plugin_.OnStart();
    if (plugin_.OnMenuInit)
        plugin_.OnMenuInit(MainHandle(), GetMenu(MainHandle()), BK_MENU_MAIN);
    return true;
}

void THost::UnloadPlugin()
{
    if (!library_)
        return;
    if (plugin_.OnExit)
        plugin_.OnExit();
    plugin_ = {};
    commands_.clear();
    ::dlclose(library_);
    library_ = nullptr;
}

// ---------------------------------------------------------------------------
// Menus and commands

BK_WINDOW THost::MainHandle() const
{
    return reinterpret_cast<BK_WINDOW>(window_.data());
}

BK_MENU THost::Register(QWidget* menu)
{
    const auto handle = reinterpret_cast<BK_MENU>(menu);
    menus_[handle] = menu;
    return handle;
}

QWidget* THost::MenuOf(BK_MENU handle) const
{
    const auto found = menus_.find(handle);
    return found == menus_.end() ? nullptr : found->second.data();
}

QWidget* THost::MenuBar() const
{
    return window_ ? window_->menuBar() : nullptr;
}

QMenu* THost::PullDown(int position) const
{
    QWidget* bar = MenuBar();
    if (!bar || position < 0 || position >= bar->actions().size())
        return nullptr;
    return bar->actions().at(position)->menu();
}

QMenu* THost::ContextMenu(int menuType, const std::vector<TMenuEntry>& items)
{
    if (QMenu* old = contextMenus_[menuType])
        delete old;
    auto* menu = new QMenu(window_);
    menu->setObjectName(QStringLiteral("ContextMenu%1").arg(menuType));
    contextMenus_[menuType] = menu;
    const BK_MENU handle = Register(menu);
    std::vector<TMenuEntry> own = items;
    if (own.empty()) {
        const bool canCopy = !SelectionText().empty();
        if (menuType == BK_MENU_LIST)
            own = { { kIdOpen, "開く(&O)", true },
                    { BK_ID_REPLY, "返信(&R)", true },
                    { 0, "", true },
                    { BK_ID_COPY, "コピー(&C)", canCopy },
                    { 0, "", true },
                    { BK_ID_PROPERTIES, "プロパティ(&P)", true } };
        else
            own = { { BK_ID_COPY, "コピー(&C)", canCopy },
                    { kIdSelectAll, "すべて選択(&A)", true },
                    { 0, "", true },
                    { BK_ID_PROPERTIES, "プロパティ(&P)", true } };
    }
    for (const TMenuEntry& entry : own) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        AddItem(menu, entry.id, QString::fromUtf8(entry.text.c_str()))->setEnabled(entry.enabled);
    }
    if (plugin_.OnMenuInit)
        plugin_.OnMenuInit(MainHandle(), handle, menuType);
    ApplyUsability(menu);
    return menu;
}

std::vector<TMenuItemView> THost::Items(const QWidget* menu)
{
    std::vector<TMenuItemView> items;
    if (!menu)
        return items;
    for (const QAction* action : menu->actions()) {
        TMenuItemView view;
        view.separator = action->isSeparator();
        view.id = view.separator ? 0 : IdOf(action);
        view.text = hostconv::ToSjis(action->text());
        view.enabled = action->isEnabled();
        items.push_back(view);
    }
    return items;
}

void THost::ApplyUsability(QWidget* menu)
{
    for (QAction* action : menu->actions()) {
        const auto found = commands_.find(IdOf(action));
        if (found != commands_.end() && found->second.usable)
            action->setEnabled(CommandUsable(found->first));
    }
}

void THost::UpdateEditStates()
{
    const bool canCopy = !SelectionText().empty();
    if (QMenu* edit = PullDown(1)) {
        for (QAction* action : edit->actions()) {
            if (IdOf(action) == BK_ID_COPY)
                action->setEnabled(canCopy);
        }
    }
}

std::uint32_t THost::CommandId(const std::string& name, int menuType) const
{
    for (const auto& [id, command] : commands_) {
        if (command.name == name && command.menuType == menuType)
            return id;
    }
    return 0;
}

bool THost::RunCommand(std::uint32_t id)
{
    const auto found = commands_.find(id);
    if (found == commands_.end() || !found->second.run)
        return false;
    found->second.run(MainHandle(), 0);
    return true;
}

bool THost::CommandUsable(std::uint32_t id)
{
    const auto found = commands_.find(id);
    if (found == commands_.end() || !found->second.usable)
        return true;
    return found->second.usable(MainHandle(), 0) == BK_CMDUI_ENABLED;
}

void THost::Dispatch(std::uint32_t id)
{
    switch (id) {
    case BK_ID_COPY:
        QApplication::clipboard()->setText(hostconv::FromSjis(SelectionText()));
        return;
    case kIdSelectAll:
        view_->selectAll();
        return;
    case kIdReceive:
        ReceivePending();
        return;
    case kIdExit:
        QCoreApplication::quit();
        return;
    case kIdPluginSetup:
        if (plugin_.OnPlugInSetup)
            plugin_.OnPlugInSetup(MainHandle());
        return;
    case kIdPluginInfo:
        if (plugin_.OnPlugInInfo) {
            BK_PLUGININFO info {};
            plugin_.OnPlugInInfo(&info);
            QMessageBox::information(window_, QStringLiteral("プラグインの情報"),
                                     hostconv::FromSjis(info.Name) + QLatin1Char('\n') +
                                         hostconv::FromSjis(info.Vendor) + QLatin1Char('\n') +
                                         hostconv::FromSjis(info.Version) + QLatin1Char('\n') +
                                         hostconv::FromSjis(info.Description));
        }
        return;
    default:
        RunCommand(id);
    }
}

// ---------------------------------------------------------------------------
// The host functions

const char* THost::Keep(const char* function, std::string text)
{
    std::string& kept = returned_[function];
    kept = std::move(text);
    return kept.c_str();
}

void THost::GetWindowHandles(BK_WINDOW* main, BK_WINDOW* tree, BK_WINDOW* list, BK_WINDOW* view)
{
    if (main)
        *main = MainHandle();
    if (tree)
        *tree = reinterpret_cast<BK_WINDOW>(folderList_);
    if (list)
        *list = reinterpret_cast<BK_WINDOW>(mailList_);
    if (view)
        *view = reinterpret_cast<BK_WINDOW>(view_);
}

int32_t THost::RegisterCommand(const char* name, int32_t menuType, BK_COMMAND_CALLBACK callback)
{
    if (!name || !callback)
        return 0;
    std::uint32_t id = CommandId(name, menuType);
    if (!id) {
        id = nextCommand_++;
        commands_[id].name = name;
        commands_[id].menuType = menuType;
    }
    commands_[id].run = callback;
    return static_cast<int32_t>(id);
}

void THost::RegisterUICallback(int32_t commandId, BK_UI_CALLBACK callback)
{
    const auto found = commands_.find(static_cast<std::uint32_t>(commandId));
    if (found != commands_.end())
        found->second.usable = callback;
}

const char* THost::GetDataFolder()
{
    return noDataFolder ? nullptr : Keep(__func__, dataFolder_);
}

const char* THost::GetCurrentMailBox()
{
    return Keep(__func__, currentMailBox);
}

void THost::SetCurrentFolder(const char* folderId)
{
    const std::string id = folderId ? folderId : "";
    folderLog.push_back(id);
    if (folders_.count(id))
        ShowFolder(id);
    else
        currentFolder = id;
}

const char* THost::GetFolderDisplayName(const char* folderId)
{
    const auto found = folders_.find(WithSlash(folderId ? folderId : ""));
    return Keep(__func__,
                found == folders_.end()
                    ? std::string()
                    : hostconv::ToSjis(QString::fromUtf8(found->second.displayName.c_str())));
}

const char* THost::GetCurrentMail()
{
    return Keep(__func__, currentMail_);
}

void THost::SetCurrentMail(const char* mailId)
{
    if (!mailId)
        return;
    selectingForPlugin_ = true;
    SelectMail(mailId);
    selectingForPlugin_ = false;
}

const char* THost::GetSource(const char* mailId)
{
    ++sourceRequests;
    const Mail* mail = FindMail(mailId ? mailId : "");
    return mail ? Keep(__func__, mail->source) : nullptr;
}

const char* THost::ISO_2022_JP(const char* text, int32_t direction)
{
    const std::string_view in = text ? text : "";
    return Keep(__func__,
                direction == 0 ? hostconv::Iso2022JpToSjis(in) : hostconv::SjisToIso2022Jp(in));
}

int32_t THost::GetSpecifiedHeader(const char* header, char* buffer, int32_t size)
{
    const Mail* mail = CurrentMailData();
    const std::string value =
        mail && header ? hostconv::DecodeHeader(HeaderValue(mail->source, header)) : "";
    if (!buffer || size <= 0)
        return 0;
    if (fillHeaderBuffer) {
        // A careless host: the whole buffer, no terminator.
        std::string filled = value.empty() ? std::string("x") : value;
        while (filled.size() < static_cast<std::size_t>(size))
            filled += filled;
        std::memcpy(buffer, filled.data(), static_cast<std::size_t>(size));
        return size;
    }
    const std::size_t n = std::min(value.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<int32_t>(n);
}

BK_WINDOW THost::ComposeMail(const char* url)
{
    if (refuseCompose)
        return 0;
    composeLog.push_back({ url ? url : "", {}, {} });
    auto* window = new QPlainTextEdit(window_);
    window->setWindowFlag(Qt::Window);
    window->setObjectName(QStringLiteral("ComposeWindow"));
    window->setWindowTitle(QStringLiteral("作成"));
    window->setPlainText(QStringLiteral("To: ") + hostconv::FromSjis(composeLog.back().url));
    composeWindows_.push_back(window);
    if (window_ && window_->isVisible())
        window->show();
    return static_cast<BK_WINDOW>(composeLog.size());
}

int32_t THost::CompSetSpecifiedHeader(BK_WINDOW compose, const char* header, const char* value)
{
    if (compose == 0 || compose > composeLog.size() || !header)
        return -1;
    composeLog[compose - 1].headers.emplace_back(header, value ? value : "");
    if (QPlainTextEdit* window = composeWindows_[compose - 1])
        window->appendPlainText(
            hostconv::FromSjis(std::string(header) + ": " + (value ? value : "")));
    return 0;
}

int32_t THost::CompSetText(BK_WINDOW compose, int32_t, const char* text)
{
    if (compose == 0 || compose > composeLog.size())
        return -1;
    composeLog[compose - 1].text = text ? text : "";
    if (QPlainTextEdit* window = composeWindows_[compose - 1])
        window->appendPlainText(QLatin1Char('\n') +
                                hostconv::FromSjis(composeLog[compose - 1].text));
    return 0;
}

BK_MENU THost::GetMenu(BK_WINDOW window)
{
    return window == MainHandle() && window_ ? reinterpret_cast<BK_MENU>(window_->menuBar()) : 0;
}

BK_MENU THost::GetSubMenu(BK_MENU menu, int32_t position)
{
    QWidget* widget = MenuOf(menu);
    if (!widget || position < 0 || position >= widget->actions().size())
        return 0;
    QMenu* sub = widget->actions().at(position)->menu();
    return sub ? Register(sub) : 0;
}

int32_t THost::GetMenuItemCount(BK_MENU menu)
{
    QWidget* widget = MenuOf(menu);
    return widget ? static_cast<int32_t>(widget->actions().size()) : -1;
}

uint32_t THost::GetMenuItemID(BK_MENU menu, int32_t position)
{
    QWidget* widget = MenuOf(menu);
    if (!widget || position < 0 || position >= widget->actions().size())
        return BKM_NONE;
    const QAction* action = widget->actions().at(position);
    if (action->menu())
        return BKM_NONE;
    return action->isSeparator() ? 0 : IdOf(action);
}

QAction* THost::ItemAt(QWidget* menu, uint32_t item, uint32_t flags) const
{
    if (!menu)
        return nullptr;
    const QList<QAction*> actions = menu->actions();
    if (flags & BKM_BYPOSITION)
        return item < static_cast<uint32_t>(actions.size()) ? actions.at(item) : nullptr;
    for (QAction* action : actions) {
        if (!action->isSeparator() && IdOf(action) == item)
            return action;
    }
    return nullptr;
}

uint32_t THost::GetMenuState(BK_MENU menu, uint32_t item, uint32_t flags)
{
    const QAction* action = ItemAt(MenuOf(menu), item, flags);
    if (!action)
        return BKM_NONE;
    uint32_t state = 0;
    if (!action->isEnabled())
        state |= BKM_GRAYED;
    if (action->isSeparator())
        state |= BKM_SEPARATOR;
    if (action->menu())
        state |= BKM_POPUP;
    return state;
}

int32_t THost::InsertMenu(BK_MENU menu, uint32_t position, uint32_t flags, uintptr_t id,
                          const char* text)
{
    QWidget* widget = MenuOf(menu);
    if (!widget)
        return 0;
    QAction* before = ItemAt(widget, position, flags);
    QAction* action = nullptr;
    if (flags & BKM_SEPARATOR) {
        action = new QAction(widget);
        action->setSeparator(true);
    } else {
        action =
            NewItem(widget, static_cast<std::uint32_t>(id), hostconv::FromSjis(text ? text : ""));
        action->setEnabled((flags & (BKM_GRAYED | BKM_DISABLED)) == 0);
    }
    widget->insertAction(before, action);
    return 1;
}

int32_t THost::AppendMenu(BK_MENU menu, uint32_t flags, uintptr_t id, const char* text)
{
    QWidget* widget = MenuOf(menu);
    if (!widget)
        return 0;
    return InsertMenu(menu, static_cast<uint32_t>(widget->actions().size()), flags | BKM_BYPOSITION,
                      id, text);
}

intptr_t THost::SendMessage(BK_WINDOW window, uint32_t message, uintptr_t wparam, intptr_t)
{
    if (window != MainHandle())
        return 0;
    if (message == BKM_WM_COMMAND) {
        commandLog.push_back(static_cast<std::uint32_t>(wparam));
        Dispatch(static_cast<std::uint32_t>(wparam));
    } else if (message == BKM_WM_INITMENUPOPUP) {
        UpdateEditStates();
    }
    return 0;
}
