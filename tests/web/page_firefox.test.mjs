// The page's tests (page_cases.mjs) in Debian's Firefox ESR, driven by
// puppeteer-core over WebDriver BiDi.
import { definePageTests } from './page_cases.mjs';

definePageTests('firefox');
