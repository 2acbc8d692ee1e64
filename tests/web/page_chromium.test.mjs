// The page's tests (page_cases.mjs) in Debian's Chromium, driven by
// playwright-core.
import { definePageTests } from './page_cases.mjs';

definePageTests('chromium');
