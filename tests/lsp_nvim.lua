-- A minimal Neovim client for `tracciato lsp`: opens one file, waits for the
-- server's diagnostics and writes them, one a line, to a file:
--   line:column:code:source:message   (0-based, as the editor counts)
-- With TRACCIATO_EDIT set it then works the buffer as an author would, and
-- writes the buffer's lines after each step to TRACCIATO_OUT.buffer:
--   the quick fix of the first diagnostic with code TRACCIATO_EDIT applied,
--   the whole buffer formatted,
--   a line "penden" added before "[fine]" and completed with the first item.
-- Driven by TRACCIATO_EXE, TRACCIATO_FILE and TRACCIATO_OUT. Works with
-- Neovim 0.7 and later (vim.lsp.start_client); 0.7 takes no snippets.
local exe = assert(os.getenv("TRACCIATO_EXE"), "TRACCIATO_EXE")
local file = assert(os.getenv("TRACCIATO_FILE"), "TRACCIATO_FILE")
local out = assert(os.getenv("TRACCIATO_OUT"), "TRACCIATO_OUT")
local edit = os.getenv("TRACCIATO_EDIT")

local function write(path, lines)
  local f = assert(io.open(path, "w"))
  f:write(table.concat(lines, "\n"), "\n")
  f:close()
end

local function finish(lines)
  write(out, lines)
  vim.cmd("qall!")
end

vim.cmd("edit! " .. vim.fn.fnameescape(file))
local buf = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({
  name = "tracciato",
  cmd = { exe, "lsp" },
  root_dir = vim.fn.fnamemodify(file, ":p:h"),
})
if not client then
  finish({ "error: the client did not start" })
  return
end
vim.lsp.buf_attach_client(buf, client)

local ok = vim.wait(20000, function() return #vim.diagnostic.get(buf) > 0 end, 20)
local lines = {}
if not ok then table.insert(lines, "timeout") end
local function code_of(d) return d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code) end
for _, d in ipairs(vim.diagnostic.get(buf)) do
  local message = (d.message:gsub("\n", " "))
  table.insert(lines, string.format("%d:%d:%s:%s:%s", d.lnum, d.col, tostring(code_of(d)), d.source or "", message))
end
if not edit then
  finish(lines)
  return
end

local steps = {}
local function snapshot(name)
  table.insert(steps, "== " .. name)
  for _, l in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do table.insert(steps, l) end
end
local function request(method, params)
  local r = vim.lsp.buf_request_sync(buf, method, params, 10000)
  local answer = r and r[client]
  return answer and answer.result
end
local document = { uri = vim.uri_from_bufnr(buf) }

-- The quick fix of the diagnostic with the code asked for.
for _, d in ipairs(vim.diagnostic.get(buf)) do
  if code_of(d) == edit then
    local lsp = d.user_data and d.user_data.lsp or {}
    local actions = request("textDocument/codeAction", {
      textDocument = document,
      range = { start = { line = d.lnum, character = 0 }, ["end"] = { line = d.lnum, character = 0 } },
      context = { diagnostics = { lsp } },
    }) or {}
    if actions[1] and actions[1].edit then vim.lsp.util.apply_workspace_edit(actions[1].edit, "utf-16") end
    break
  end
end
snapshot("fix")

local formatting = request("textDocument/formatting",
  { textDocument = document, options = { tabSize = 4, insertSpaces = true } })
if formatting then vim.lsp.util.apply_text_edits(formatting, buf, "utf-16") end
snapshot("format")

local last = vim.api.nvim_buf_line_count(buf)
for i, l in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do
  if l == "[fine]" then last = i - 1 end
end
vim.api.nvim_buf_set_lines(buf, last, last, false, { "penden" })
local items = request("textDocument/completion",
  { textDocument = document, position = { line = last, character = 6 } })
items = items and (items.items or items) or {}
if items[1] then
  local e = items[1].textEdit
  if e then
    vim.lsp.util.apply_text_edits({ e }, buf, "utf-16")
  else
    vim.api.nvim_buf_set_lines(buf, last, last + 1, false, { items[1].insertText or items[1].label })
  end
  table.insert(steps, "== completion format " .. tostring(items[1].insertTextFormat))
end
snapshot("completion")
write(out .. ".buffer", steps)
finish(lines)
