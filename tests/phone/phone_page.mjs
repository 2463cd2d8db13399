// Plays a list of actions on the phone page in headless Chromium for tst_phone_page, with a fake microphone that
// plays a speech file: `node phone_page.mjs OPTIONS_JSON`, the options holding the page's address, the speech file,
// the screenshot folder and the actions. It writes JSON lines: {"step": TEXT} when the test program has to act on the
// server (it answers "done" on standard input), then {"result": ...}, or {"error": ..., "result": what it saw so far}
// with exit status 1. Every wait is bounded.
import { createRequire } from "node:module";
import { createInterface } from "node:readline";

const { chromium } = createRequire(import.meta.url)(process.env.KAVO_PLAYWRIGHT);
const options = JSON.parse(process.argv[2]);
const WAIT_MS = 15000;

// Each screen by the control that only it shows, as a screen reader finds it.
const SCREENS = {
  connecting: ["button", "Bekor qilish"],
  permission: ["button", "Mikrofonni yoqish"],
  ready: ["button", "Bosing va gapiring"],
  rec: ["button", "To'xtatish uchun bosing"],
  recorded: ["button", "Kompyuterga yuborish"],
  sending: ["heading", "Yuborilmoqda"],
  sent: ["button", "Yana yozish"],
  disconnected: ["button", "Qayta ulanish"],
};

const lines = createInterface({ input: process.stdin })[Symbol.asyncIterator]();
const say = message => process.stdout.write(JSON.stringify(message) + "\n");
const control = (page, screen) => page.getByRole(SCREENS[screen][0], { name: SCREENS[screen][1], exact: true });

async function waitScreen(page, screens) {
  const end = Date.now() + WAIT_MS;
  while (Date.now() < end) {
    for (const screen of screens) if (await control(page, screen).isVisible()) return screen;
    await page.waitForTimeout(50);
  }
  throw new Error(`none of ${screens.join(", ")} showed within ${WAIT_MS} ms`);
}

// Records until the microphone has delivered `seconds` of sound, rounded up to whole blocks of 4096 samples, and
// taps stop in the same turn of the page's event loop, so that no further block comes in.
async function record(page, seconds) {
  await control(page, "ready").click();
  await waitScreen(page, ["rec"]);
  return page.evaluate(({ seconds, timeout }) => new Promise((resolve, reject) => {
    const end = Date.now() + timeout;
    const check = () => {
      const rate = recording.context.sampleRate;
      if (recording.blocks.length >= Math.ceil((seconds * rate) / 4096)) {
        const blocks = recording.blocks.length;
        document.querySelector('button[aria-label="To\'xtatish uchun bosing"]').click();
        resolve({ rate, blocks });
      } else if (Date.now() > end) {
        reject(new Error(`the microphone gave ${recording.blocks.length} blocks in ${timeout} ms`));
      } else {
        setTimeout(check, 5);
      }
    };
    check();
  }), { seconds, timeout: WAIT_MS });
}

// What the page shows, read the way a person reads it.
async function read(page) {
  const screen = await waitScreen(page, Object.keys(SCREENS));
  return { screen, ...await page.evaluate(() => {
    const text = id => document.getElementById(id)?.textContent ?? "";
    const body = getComputedStyle(document.body);
    return { chip: text("chip-label"), deviceName: text("device-name"), deviceLine: text("device-line"),
      error: text("error"), clipTime: text("clip-time"),
      bars: Array.from(document.querySelectorAll("#bars span"), bar => bar.getBoundingClientRect().height),
      rows: Array.from(document.querySelectorAll(".session li"), row => row.innerText.replace(/\s+/g, " ").trim()),
      stage: document.getElementById("stage").innerText.replace(/\s+/g, " ").trim(),
      background: body.backgroundColor, font: `${body.fontSize}/${body.lineHeight} ${document.fonts.check("14px Onest")}` };
  }) };
}

let browser, context, page;
const result = { reads: [], captures: [], values: [], requests: [] };
const statusChecks = () => result.requests.filter(address => new URL(address).pathname === "/status").length;

// The actions, each "name:argument…".
const actions = {
  // A new phone: ask (no fake permission prompt, nothing granted), clock (the page's timers under the test's hand),
  // dark, and the fragment to open.
  async open(...flags) {
    if (!browser) {
      browser = await chromium.launch({ executablePath: "/usr/bin/chromium", timeout: 30000, args: [
        ...(flags.includes("ask") ? [] : ["--use-fake-ui-for-media-stream"]),
        "--use-fake-device-for-media-stream",
        `--use-file-for-fake-audio-capture=${options.speech}`,
        // Nothing but the page's own server: no background fetches, and no names resolve.
        "--disable-background-networking", "--disable-component-update", "--disable-sync", "--disable-default-apps",
        "--disable-domain-reliability", "--no-first-run", "--no-pings", "--no-proxy-server",
        "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1"] });
    }
    await context?.close();
    context = await browser.newContext({ ignoreHTTPSErrors: true, viewport: { width: 390, height: 844 },
      deviceScaleFactor: 2, isMobile: true, hasTouch: true, colorScheme: flags.includes("dark") ? "dark" : "light" });
    if (!flags.includes("ask")) await actions.grant();
    page = await context.newPage();
    page.on("request", request => result.requests.push(request.url()));
    page.on("pageerror", error => say({ pageError: error.message }));
    if (flags.includes("clock")) {
      await page.clock.install();
      await page.clock.pauseAt(Date.now() + 1000);
    }
    await page.goto(options.url + (flags.find(flag => flag.startsWith("#")) ?? ""));
  },
  grant: () => context.grantPermissions(["microphone"], { origin: new URL(options.url).origin }),
  wait: screens => waitScreen(page, screens.split("|")),
  tap: screen => control(page, screen).click({ timeout: WAIT_MS }),
  text: text => page.getByText(text, { exact: true }).waitFor({ timeout: WAIT_MS }),
  error: () => page.locator("#error:not(:empty)").waitFor({ timeout: WAIT_MS }),
  record: async seconds => result.captures.push(await record(page, Number(seconds))),
  read: async () => result.reads.push(await read(page)),
  // The value of a script expression on the page (awaited when it is a promise).
  value: async (...expression) => result.values.push(await page.evaluate(expression.join(":"))),
  async shot(name) {
    await page.evaluate(() => document.fonts.ready);
    // Let the spinner and the waves run into a pose of their own.
    await page.waitForTimeout(400);
    await page.screenshot({ path: `${options.shots}/phone-page-${name}.png` });
  },
  async step(...what) {
    say({ step: what.join(":") });
    const answer = await lines.next();
    if (answer.done || answer.value.trim() !== "done") throw new Error(`the test program did not do ${what}`);
  },
  // Moves the page's clock on, then waits until the page has made `checks` status checks and taken in the last.
  async tick(ms, checks) {
    if (Number(ms)) await page.clock.runFor(Number(ms));
    const end = Date.now() + WAIT_MS;
    while (statusChecks() < Number(checks)) {
      if (Date.now() > end) throw new Error(`${statusChecks()} status checks, not ${checks}`);
      await page.waitForTimeout(20);
    }
    await page.waitForFunction(() => !polling && (retryTimer !== null || state.screen !== "connecting"), undefined,
      { timeout: WAIT_MS, polling: 20 });
  },
};

try {
  for (const action of options.actions) {
    const [name, ...argumentsOf] = action.split(":");
    await actions[name](...argumentsOf);
  }
  say({ result });
  await browser?.close();
  process.exit(0);
} catch (error) {
  say({ error: String(error?.stack ?? error), result });
  await browser?.close().catch(() => {});
  process.exit(1);
}
