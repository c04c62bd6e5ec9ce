// CreateMaterialObject and Duplicate: nested creations, the lists the new
// object receives through _Tessel, its identification, and failures.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include "com_server/server_lock.h"
#include "com_server/tessel_object.h"
#include "tests/unit/operation_fixture.h"

namespace korvid::testing {
namespace {

using material_object::Tessel;
using Microsoft::WRL::ComPtr;

// Takes over the reference an operation hands out (ComPtr::Attach of
// mingw-w64 would add one).
template <typename T>
ComPtr<T> Adopt(T* object) {
    ComPtr<T> owner;
    *owner.GetAddressOf() = object;
    return owner;
}

class CloningTest : public OperationTest {
protected:
    // A nested form whose Load left `count` components, closed with OK and no
    // report.
    void QueueFormLeaving(int32_t count) {
        platform_.formScripts.push_back([this, count](platform::DefinitionFormState& state,
                                                      platform::DefinitionFormHandler& handler,
                                                      platform::FormWindow& window) {
            module_.g_numComponents = count;
            state.grid.SetTextMatrix(1, 0, L"a");
            state.grid.SetTextMatrix(1, 1, L"b");
            handler.OnOkClick(window);
        });
    }

    static std::wstring Get(ICapeIdentification* id, HRESULT (STDMETHODCALLTYPE ICapeIdentification::*get)(BSTR*)) {
        BSTR text = nullptr;
        EXPECT_EQ((id->*get)(&text), S_OK);
        std::wstring result(com::Text(text));
        SysFreeString(text);
        return result;
    }
};

// The members a new object receives, with their getters on _Tessel.
struct ListMember {
    const char* name;
    com::Variant Tessel::*member;
    HRESULT (STDMETHODCALLTYPE _Tessel::*get)(VARIANT*);
};
const ListMember kLists[] = {
    {"m_componentIDs", &Tessel::m_componentIDs, &_Tessel::get_m_componentIDs},
    {"m_compFormulaes", &Tessel::m_compFormulaes, &_Tessel::get_m_compFormulaes},
    {"m_compBoilTemps", &Tessel::m_compBoilTemps, &_Tessel::get_m_compBoilTemps},
    {"m_compMolWts", &Tessel::m_compMolWts, &_Tessel::get_m_compMolWts},
    {"m_compCASNos", &Tessel::m_compCASNos, &_Tessel::get_m_compCASNos},
    {"m_compNames", &Tessel::m_compNames, &_Tessel::get_m_compNames},
};

TEST_F(CloningTest, CreateMaterialObjectGivesANewObjectTheCreatorsPublicLists) {
    auto creator = NewTessel(L"");
    creator->m_compNames = StringArray({L"n1", L"n2", L"n3"});
    creator->m_compCASNos = DoubleArray({1, 2});
    creator->m_num = 7;
    QueueFormLeaving(2);  // the new object's own start-up takes two components
    ComPtr<IDispatch> created = Adopt(creator->ICapeThermoMaterialObject_CreateMaterialObject());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(platform_.formsShown, 2);
    ComPtr<_Tessel> lists;
    ASSERT_HRESULT_SUCCEEDED(created.As(&lists));

    LONG num = 0;
    EXPECT_EQ(lists->get_m_num(&num), S_OK);
    EXPECT_EQ(num, 3) << "the creator's compCount, not its m_num";
    for (const ListMember& list : kLists) {
        SCOPED_TRACE(list.name);
        com::Variant value;
        ASSERT_EQ((lists.Get()->*list.get)(value.get()), S_OK);
        const VARIANT& expected = *(creator.get()->*list.member);
        EXPECT_EQ(value.vt(), expected.vt);
        EXPECT_EQ(Strings(*value), Strings(expected));
    }
    // Copies: the creator's later changes do not reach the new object.
    creator->m_compNames = StringArray({L"changed"});
    ComPtr<ICapeThermoMaterialObject> thermo;
    ASSERT_HRESULT_SUCCEEDED(created.As(&thermo));
    com::Variant ids;
    ASSERT_EQ(thermo->get_ComponentIds(ids.get()), S_OK);
    EXPECT_EQ(Strings(*ids), (std::vector<std::wstring>{L"n1", L"n2"}))
        << "the creator's names, as many as the new object's own components";

    thermo.Reset();
    lists.Reset();
    created.Reset();
    EXPECT_TRUE(com::CanUnload()) << "every reference released";
}

TEST_F(CloningTest, DuplicateNamesTheNewObjectAndTracesTheWholeSequence) {
    const auto dupBlocks = [this] {
        auto lines = Block(L"ICapeThermoMaterialObject_Duplicate");
        auto create = Block(L"ICapeThermoMaterialObject_CreateMaterialObject");
        lines.insert(lines.end(), create.begin(), create.end());
        return lines;
    };
    const auto identBlocks = [this] {
        auto lines = Block(L"ICapeIdentification_ComponentName");
        auto desc = Block(L"ICapeIdentification_ComponentDescription");
        lines.insert(lines.end(), desc.begin(), desc.end());
        return lines;
    };
    struct Case {
        const char* what;
        bool newReport;  // the nested form opens a report of its own
    };
    for (const Case c : {Case{"the nested form closed without OK", false},
                         Case{"the new object's own report", true}}) {
        SCOPED_TRACE(c.what);
        auto creator = NewTessel(L"ops");
        creator->ICapeIdentification_put_ComponentDescription(L"mine");
        if (c.newReport) {
            QueueOkForm(L"second");
        } else {
            QueueCloseForm();
        }
        ComPtr<IDispatch> clone = Adopt(creator->ICapeThermoMaterialObject_Duplicate());
        ASSERT_NE(clone, nullptr);

        auto expected = Block(L"ICapeIdentification_ComponentDescription");
        auto dup = dupBlocks();
        expected.insert(expected.end(), dup.begin(), dup.end());
        if (c.newReport) {
            EXPECT_EQ(ReportLines(L"ops"), expected);
            EXPECT_EQ(ReportLines(L"second"), identBlocks());
        } else {
            // Closed without OK: reporting is off for the whole thread, so
            // the new object's identification calls leave no lines.
            EXPECT_EQ(ReportLines(L"ops"), expected);
        }

        ComPtr<ICapeIdentification> id;
        ASSERT_HRESULT_SUCCEEDED(clone.As(&id));
        EXPECT_EQ(Get(id.Get(), &ICapeIdentification::get_ComponentName), L"Calculated MO");
        EXPECT_EQ(Get(id.Get(), &ICapeIdentification::get_ComponentDescription), L"mine");
        ComPtr<_Tessel> lists;
        ASSERT_HRESULT_SUCCEEDED(clone.As(&lists));
        com::Variant names;
        ASSERT_EQ(lists->get_m_compNames(names.get()), S_OK);
        EXPECT_EQ(Strings(*names), Strings(*creator->m_compNames));
        EXPECT_TRUE(platform_.messages.empty());
        id.Reset();
        lists.Reset();
        clone.Reset();
        EXPECT_TRUE(com::CanUnload());
    }
}

TEST_F(CloningTest, FailedCreationsGiveNullAndLeaveNoObject) {
    struct Case {
        const char* what;
        bool duplicate;
        std::vector<int32_t> formCounts;  // components each nested form leaves
        bool created;
        size_t messages;
    };
    const Case cases[] = {
        {"CreateMaterialObject, no component", false, {0}, false, 0},
        {"Duplicate, both creations fail", true, {0, 0}, false, 1},
        {"Duplicate, the second creation succeeds", true, {0, 3}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform_.messages.clear();
        DefineComponents(ThreeComponents());
        auto creator = NewTessel(L"");
        const int formsBefore = platform_.formsShown;
        for (int32_t count : c.formCounts) QueueFormLeaving(count);
        ComPtr<IDispatch> result =
            Adopt(c.duplicate ? creator->ICapeThermoMaterialObject_Duplicate()
                              : creator->ICapeThermoMaterialObject_CreateMaterialObject());
        EXPECT_EQ(result != nullptr, c.created);
        EXPECT_EQ(platform_.formsShown - formsBefore, static_cast<int>(c.formCounts.size()));
        ASSERT_EQ(platform_.messages.size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(platform_.messages[0].text, L"Cannot Duplicate MO");
            EXPECT_EQ(platform_.messages[0].caption, L"Korvid");
            EXPECT_EQ(platform_.messages[0].icon, platform::MessageIcon::None);
        }
        result.Reset();
        EXPECT_TRUE(com::CanUnload()) << "no object alive, no reference leaked";
    }

    // A call header that cannot be written is an error of the call itself.
    auto creator = NewTessel(L"ops");
    platform_.CloseFile(module_.g_reportFileNo);
    const int formsBefore = platform_.formsShown;
    EXPECT_EQ(ErrorOf([&] { creator->ICapeThermoMaterialObject_CreateMaterialObject(); }), 52);
    EXPECT_EQ(ErrorOf([&] { creator->ICapeThermoMaterialObject_Duplicate(); }), 52);
    EXPECT_EQ(platform_.formsShown, formsBefore);
}

TEST_F(CloningTest, ThroughCOMAFailedDuplicateSucceedsWithANullObject) {
    DefineComponents(ThreeComponents());
    QueueOkForm(L"");
    ComPtr<ICapeThermoMaterialObject> object;
    ASSERT_EQ(com::CreateTesselObject(IID_ICapeThermoMaterialObject,
                                      reinterpret_cast<void**>(object.GetAddressOf())),
              S_OK);
    QueueFormLeaving(0);
    QueueFormLeaving(0);
    IDispatch* clone = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(object->Duplicate(&clone), S_OK);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(platform_.messages.size(), 1u);

    QueueFormLeaving(2);
    EXPECT_EQ(object->CreateMaterialObject(&clone), S_OK);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->Release(), 0u);
    object.Reset();
    EXPECT_TRUE(com::CanUnload());
}

}  // namespace
}  // namespace korvid::testing
