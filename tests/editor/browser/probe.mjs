// Exit 77 when chromium cannot start here, 0 when it can.
import { launchBrowser } from './session.mjs';

const browser = await launchBrowser();
await browser.close();
