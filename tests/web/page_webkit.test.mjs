// The page's tests (page_cases.mjs) in WebKitGTK's MiniBrowser, driven by
// selenium-webdriver through WebKitWebDriver.
import { definePageTests } from './page_cases.mjs';

definePageTests('webkit');
