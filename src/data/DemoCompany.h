// The demo company added by "zuna init --demo": a believable employer of about thirty staff in
// three branches, with a month's input that gives every stage of the computation work to do.
#pragma once

namespace zuna {

class TdmPayroll;

// Adds the demo company to a freshly prepared database (system parameters, tax tables and pay
// codes already written): code lists, banks, employees with their transaction and tax-history
// records, benefits and the month's payslip message. Amounts follow the currency of the country
// in paysys COUNTRY; dates follow the current period.
void AddDemoCompany(TdmPayroll& dm);

}  // namespace zuna
