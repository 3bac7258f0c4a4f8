#include "app/definedfield.h"

#include "app/settings/consts.h"
#include "core/schedlist.h"

std::string DefinedFieldBlock(const TSchedList& store, const TEventData& item)
{
    std::string block = strconst::BlockStart();
    block += "\r\n";
    block += store.EventToLine(item, 2);
    block += "\r\n";
    block += strconst::BlockEnd();
    block += "\r\n";
    return block;
}

std::string CopyText(const TSchedList& store, const TEventData& item)
{
    return item.Subject + "\r\n" + item.Memo + "\r\n" + DefinedFieldBlock(store, item);
}
