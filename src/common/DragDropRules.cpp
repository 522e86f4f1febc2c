#include "common/DragDropRules.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

bool ReadsDataAtEnter(TRenderDataOn Mode)
{
    return Mode == rdoEnter || Mode == rdoEnterAndDropSync || Mode == rdoEnterAndDropAsync;
}

bool ReadsDataAtDrop(TRenderDataOn Mode)
{
    return Mode == rdoEnterAndDropSync || Mode == rdoDropSync;
}

bool ReadsDataAfterDrop(TRenderDataOn Mode)
{
    return Mode == rdoEnterAndDropAsync || Mode == rdoDropAsync;
}

uint32_t DropEffectFor(const TEffectQuery& Query)
{
    if (!Query.Accepted || (Query.OwnDrag && !Query.AcceptOwnDrag)) {
        return deNone;
    }
    const uint32_t allowed = Query.TargetEffects & Query.SourceEffects;
    const bool shift = (Query.Keys & dkShift) != 0;
    const bool control = (Query.Keys & dkControl) != 0;
    uint32_t effect = deNone;
    if (shift && !control && (allowed & deMove) != 0) {
        effect = deMove;
    } else if (shift && control && (allowed & deLink) != 0) {
        effect = deLink;
    } else {
        for (const uint32_t candidate : {deCopy, deMove, deLink}) {
            if ((allowed & candidate) != 0) {
                effect = candidate;
                break;
            }
        }
    }
    if (Query.Scrolling) {
        effect |= kDropEffectScroll;
    }
    return effect;
}

TContinueDrag ContinueDragFor(bool EscapePressed, uint32_t Keys)
{
    const bool left = (Keys & dkLeftButton) != 0;
    const bool right = (Keys & dkRightButton) != 0;
    if (EscapePressed || (left && right)) {
        return TContinueDrag::Cancel;
    }
    return left || right ? TContinueDrag::Continue : TContinueDrag::Drop;
}

TDragResult DragResultFor(bool Dropped, uint32_t Effect, bool NtFamily)
{
    if (!Dropped) {
        return drCancel;
    }
    switch (Effect & kDropEffectsAll) {
    case deCopy:
        return drCopy;
    case deMove:
        return drMove;
    case deLink:
        return drLink;
    case deNone:
        return NtFamily ? drMove : drCancel;
    default:
        return drInvalid;  // a target must answer one effect
    }
}

TFormatLookUp FindFormat(const std::vector<TFormatDesc>& Offered, const TFormatDesc& Request, uint32_t Checks)
{
    TFormatLookUp nearest;
    auto closer = [&](TFormatMatch miss) {
        if (nearest.Match == TFormatMatch::NoFormat || static_cast<int>(miss) > static_cast<int>(nearest.Match)) {
            nearest.Match = miss;
        }
    };
    for (size_t i = 0; i < Offered.size(); ++i) {
        const TFormatDesc& offered = Offered[i];
        if (offered.Format != Request.Format) {
            continue;
        }
        if ((offered.Media & Request.Media) == 0) {
            closer(TFormatMatch::OtherMedium);
        } else if ((Checks & CheckdwAspect) != 0 && offered.Aspect != Request.Aspect) {
            closer(TFormatMatch::OtherAspect);
        } else if ((Checks & CheckLindex) != 0 && offered.Index != Request.Index) {
            closer(TFormatMatch::OtherIndex);
        } else {
            return {TFormatMatch::Found, i};
        }
    }
    return nearest;
}

const TFormatDesc& TFormatList::Get(size_t Index) const
{
    if (Index >= items_.size()) {
        throw EListError(L"Invalid item index");
    }
    return items_[Index];
}

void TFormatList::Set(size_t Index, const TFormatDesc& Desc)
{
    if (Index >= items_.size()) {
        throw EListError(L"Invalid item index");
    }
    items_[Index] = Desc;
}

size_t TFormatList::Add(const TFormatDesc& Desc)
{
    items_.push_back(Desc);
    return items_.size() - 1;
}

void TFormatList::Put(const TFormatDesc& Desc)
{
    const auto same =
        std::find_if(items_.begin(), items_.end(), [&](const TFormatDesc& item) { return item.Format == Desc.Format; });
    if (same != items_.end()) {
        *same = Desc;
    } else {
        items_.push_back(Desc);
    }
}

bool TFormatEnumerator::Next(long Count, bool FetchedWanted, std::vector<TFormatDesc>& Out)
{
    if (Count <= 0 || position_ >= items_.size() || (!FetchedWanted && Count != 1)) {
        return false;
    }
    const size_t take = std::min(static_cast<size_t>(Count), items_.size() - position_);
    Out.insert(Out.end(), items_.begin() + static_cast<std::ptrdiff_t>(position_),
               items_.begin() + static_cast<std::ptrdiff_t>(position_ + take));
    position_ += take;
    return true;
}

bool TFormatEnumerator::Skip(unsigned long Count)
{
    if (Count > items_.size() - position_) {
        position_ = items_.size();
        return false;
    }
    position_ += Count;
    return true;
}

TDropMenuTexts DropMenuTextsFor(uint16_t PrimaryLanguage)
{
    switch (PrimaryLanguage) {
    case 0x07:  // German
        return {L"Hierher &kopieren", L"Hierher &verschieben", L"Verknüpfung(en) hier &erstellen", L"&Abbrechen"};
    case 0x0A:  // Spanish
        return {L"&Copie aquí", L"&Muévase aquí", L"&Atajo(s) crea aquí ", L"&Aborto"};
    case 0x0C:  // French
        return {L"&Copier ici", L"&Transférer ici", L"&Créer un ou des raccourci(s) ici", L"&Arrêt"};
    case 0x10:  // Italian
        return {L"&Copiare qui", L"&Muoversi qui", L"&Scorciatoia(e) crea qui", L"&Terminazione"};
    case 0x15:  // Polish
        return {L"&Kopiuj tutaj", L"&Przenie\u015B tutaj", L"Utwórz &skrót(y) tutaj", L"&Anuluj"};
    case 0x16:  // Portuguese
        return {L"&Copíe aqui", L"&Mova aqui", L"&Atalho(s) cría aqui", L"&Aborto"};
    default:
        return {L"&Copy Here", L"&Move Here", L"&Shortcut(s) Create Here", L"&Abort"};
    }
}

std::vector<TDropMenuItem> BuildDropMenu(uint32_t TargetEffects, uint32_t SourceEffects, uint32_t Effect,
                                         const TDropMenuTexts& Texts)
{
    const uint32_t allowed = TargetEffects & SourceEffects;
    const uint32_t chosen = Effect & kDropEffectsAll;
    std::vector<TDropMenuItem> items;
    const struct {
        uint32_t Effect;
        int Id;
        const std::wstring& Text;
    } rows[] = {
        {deMove, kDropMenuMove, Texts.Move}, {deCopy, kDropMenuCopy, Texts.Copy}, {deLink, kDropMenuLink, Texts.Link}};
    for (const auto& row : rows) {
        if ((allowed & row.Effect) != 0) {
            items.push_back({row.Id, row.Text, chosen == row.Effect});
        }
    }
    items.push_back({kDropMenuSeparator, L"", false});
    items.push_back({kDropMenuCancel, Texts.Cancel, false});
    return items;
}

uint32_t EffectOfDropMenuChoice(int Id)
{
    switch (Id) {
    case kDropMenuMove:
        return deMove;
    case kDropMenuCopy:
        return deCopy;
    case kDropMenuLink:
        return deLink;
    default:
        return deNone;
    }
}

}  // namespace qrv
