// The page in the three browser engines a site meets, from Debian's
// packages: Chromium through playwright-core, Firefox ESR through
// puppeteer-core over WebDriver BiDi, and WebKitGTK's MiniBrowser through
// WebKitWebDriver over plain WebDriver HTTP (on an X server of its own). Each
// is driven through what all three do alike: open an address at a size, run
// a function in the page, click and type as a person does, reload, take a
// screenshot.

import { spawn } from 'node:child_process';
import { existsSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { createServer } from 'node:net';
import { join } from 'node:path';

const CHROMIUM_ARGS = ['--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'];
export const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

const freePort = () =>
    new Promise((resolve) => {
        const server = createServer();
        server.listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Why an engine cannot run here, or null.
export function missing(engine) {
    const needed = { chromium: ['/usr/bin/chromium'], firefox: ['/usr/bin/firefox-esr'], webkit: ['/usr/bin/WebKitWebDriver', MINIBROWSER, '/usr/bin/Xvfb'] };
    const absent = needed[engine].filter((path) => !existsSync(path));
    return absent.length ? `${engine}: ${absent.join(', ')} not installed` : null;
}

// A page as the tests use it, the same in every engine.
class Page {
    // Text pasted over the grid's selected cell, as Ctrl+V does.
    paste(text) {
        return this.evaluate((words) => {
            const data = new DataTransfer();
            data.setData('text/plain', words);
            document.querySelector('#grid .tabulator-tableholder').dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true }));
            return true;
        }, text);
    }

    // Polls a function in the page until it gives something true.
    async until(fn, arg = null, timeout = 15_000) {
        const end = Date.now() + timeout;
        for (;;) {
            const value = await this.evaluate(fn, arg).catch(() => null);
            if (value) return value;
            if (Date.now() > end) throw new Error(`timed out waiting for ${fn.toString().slice(0, 120)}`);
            await pause(50);
        }
    }
}

// Playwright's page; Puppeteer's takes the same calls but for its viewport and the paste.
class PlaywrightPage extends Page {
    constructor(page) {
        super();
        this.page = page;
        page.on('dialog', (dialog) => dialog.accept());
    }
    evaluate(fn, arg) {
        return this.page.evaluate(fn, arg);
    }
    click(selector) {
        return this.page.click(selector);
    }
    type(text) {
        return this.page.keyboard.type(text);
    }
    press(key) {
        return this.page.keyboard.press(key);
    }
    reload() {
        return this.page.reload();
    }
    resize(viewport) {
        return this.page.setViewportSize(viewport);
    }
    screenshot(path) {
        return this.page.screenshot({ path });
    }
}

class PuppeteerPage extends PlaywrightPage {
    // Firefox hides what a script puts in a paste event it makes; the real
    // clipboard and keys it takes.
    async paste(text) {
        await this.evaluate((words) => navigator.clipboard.writeText(words).then(() => true), text);
        await this.page.keyboard.down('Control');
        await this.page.keyboard.press('v');
        await this.page.keyboard.up('Control');
    }
    resize(viewport) {
        return sized(this.page, viewport);
    }
}

// Puppeteer sends emulation.setScreenOrientationOverride with every viewport,
// which Firefox before ESR 153 does not know (Debian 12's main suite has ESR
// 140); the size itself it takes, by browsingContext.setViewport.
async function sized(page, viewport) {
    try {
        await page.setViewport(viewport);
    } catch (error) {
        if (!/unknown command|setScreenOrientationOverride/.test(error.message)) throw error;
        await page.mainFrame().browsingContext.setViewport({
            viewport: { width: viewport.width, height: viewport.height },
            devicePixelRatio: viewport.deviceScaleFactor ?? null,
        });
    }
}

// W3C WebDriver over HTTP, as WebKitWebDriver speaks it.
class WebDriverPage extends Page {
    constructor(base) {
        super();
        this.base = base;
    }
    async command(method, path, body) {
        const response = await fetch(`${this.base}${path}`, {
            method,
            headers: { 'Content-Type': 'application/json' },
            body: body === undefined ? undefined : JSON.stringify(body),
        });
        const { value } = await response.json();
        if (value?.error) throw new Error(`${value.error}: ${value.message}`);
        return value;
    }
    evaluate(fn, arg) {
        // A returned promise is awaited by the driver.
        return this.command('POST', '/execute/sync', { script: `return (${fn})(arguments[0]);`, args: [arg] });
    }
    async click(selector) {
        const element = await this.command('POST', '/element', { using: 'css selector', value: selector });
        await this.command('POST', `/element/${Object.values(element)[0]}/click`, {});
    }
    keys(values) {
        const actions = values.flatMap((value) => [{ type: 'keyDown', value }, { type: 'keyUp', value }]);
        return this.command('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions }] });
    }
    type(text) {
        return this.keys([...text]);
    }
    press(key) {
        return this.keys([{ Enter: '\uE007', Tab: '\uE004', Escape: '\uE00C' }[key] ?? key]);
    }
    reload() {
        return this.command('POST', '/refresh', {});
    }
    resize(viewport) {
        return this.command('POST', '/window/rect', viewport);
    }
    async screenshot(path) {
        writeFileSync(path, Buffer.from(await this.command('GET', '/screenshot'), 'base64'));
    }
}

// Starts an engine; open(url, {width, height}) gives a page, close() ends it.
export async function launch(engine, modules) {
    const require = createRequire(join(modules, 'x'));
    if (engine === 'chromium') {
        const { chromium } = require('playwright-core');
        const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: CHROMIUM_ARGS });
        return {
            async open(url, viewport) {
                const page = await (await browser.newContext({ viewport })).newPage();
                await page.goto(url);
                return new PlaywrightPage(page);
            },
            close: () => browser.close(),
        };
    }
    if (engine === 'firefox') {
        const puppeteer = require('puppeteer-core');
        const browser = await puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true, protocol: 'webDriverBiDi' });
        return {
            async open(url, viewport) {
                const page = await (await browser.createBrowserContext()).newPage();
                await sized(page, viewport);
                await page.goto(url);
                return new PuppeteerPage(page);
            },
            close: () => browser.close(),
        };
    }
    // WebKit: MiniBrowser under WebKitWebDriver, on an X server of its own.
    // Xvfb picks a free display and names it once it takes connections: a
    // display guessed from the process number may be another test's server,
    // and a browser started before its server is up never answers the driver.
    const xvfb = spawn('/usr/bin/Xvfb', ['-displayfd', '1', '-screen', '0', '1600x1200x24', '-nolisten', 'tcp'], { stdio: ['ignore', 'pipe', 'ignore'] });
    const display = await new Promise((resolve, reject) => {
        let said = '';
        xvfb.stdout.on('data', (bytes) => {
            said += bytes;
            if (said.includes('\n')) resolve(`:${said.trim()}`);
        });
        xvfb.on('exit', (code) => reject(new Error(`Xvfb ended (${code}) before it took connections`)));
    });
    const port = await freePort();
    const driver = spawn('/usr/bin/WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env: { ...process.env, DISPLAY: display } });
    const base = `http://127.0.0.1:${port}`;
    for (let tries = 0; ; tries++) {
        const ready = await fetch(`${base}/status`).then((r) => r.json(), () => null);
        if (ready?.value?.ready) break;
        if (tries > 100) throw new Error('WebKitWebDriver did not start');
        await pause(100);
    }
    // A session whose browser does not come up within a minute is asked for
    // once more, rather than waited on until the fetch itself gives up.
    const session = async () => {
        for (let tries = 0; ; tries++) {
            try {
                const response = await fetch(`${base}/session`, {
                    method: 'POST',
                    headers: { 'Content-Type': 'application/json' },
                    body: JSON.stringify({
                        capabilities: {
                            alwaysMatch: { unhandledPromptBehavior: 'accept', 'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] } },
                        },
                    }),
                    signal: AbortSignal.timeout(60_000),
                });
                const { value } = await response.json();
                if (value?.sessionId) return value.sessionId;
                if (tries > 0) throw new Error(`WebKitWebDriver gave no session: ${value?.message ?? JSON.stringify(value)}`);
            } catch (error) {
                if (tries > 0) throw new Error(`MiniBrowser did not start under WebKitWebDriver on ${display}: ${error.cause?.message ?? error.message}`);
            }
        }
    };
    const sessions = [];
    return {
        async open(url, viewport) {
            // One session at a time: the page before goes with its browser.
            for (const page of sessions.splice(0)) await page.command('DELETE', '').catch(() => {});
            const page = new WebDriverPage(`${base}/session/${await session()}`);
            sessions.push(page);
            await page.command('POST', '/window/rect', viewport);
            await page.command('POST', '/url', { url });
            return page;
        },
        async close() {
            for (const page of sessions) await page.command('DELETE', '').catch(() => {});
            driver.kill();
            xvfb.kill();
        },
    };
}
