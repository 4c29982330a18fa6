#pragma once
namespace wizard {
void AddMasterBudgetFiles();
}
